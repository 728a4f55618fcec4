// Start-up and end of the real program: the show state it is started with, and the exit
// code when the main window is closed.
#include <gtest/gtest.h>

#include <string>

#include "support/UiDriver.h"

TEST(StartupTest, StartsInTheShowStateItIsAskedFor) {
    const struct { int show; BOOL(WINAPI* reached)(HWND); const char* what; } cases[] = {
        {SW_SHOWMAXIMIZED, IsZoomed, "maximised"}, {SW_SHOWMINNOACTIVE, IsIconic, "minimised"}};
    for (const auto& c : cases) {
        AppProcess app(c.show);
        HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return c.reached(main) != FALSE; }, 3000)) << c.what;
    }
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
