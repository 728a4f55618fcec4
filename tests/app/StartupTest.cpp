// Start-up and end of the real program: the show state it is started with, and the exit
// code when the main window is closed.
#include <gtest/gtest.h>

#include <string>

#include "support/UiDriver.h"

TEST(StartupTest, StartsMaximisedWhenAskedTo) {
    AppProcess app(SW_SHOWMAXIMIZED);
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }, 3000));
}

TEST(StartupTest, StartsMinimisedWhenAskedTo) {
    AppProcess app(SW_SHOWMINNOACTIVE);
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }, 3000));
}

TEST(StartupTest, ClosingTheMainWindowEndsTheProgramNormally) {
    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(app.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}
