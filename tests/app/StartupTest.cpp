// Start-up and end of the real program: the show state it is started with, the exit code
// when the main window is closed, and a system whose default printer does not exist, where
// setting the print dialog's copies while the main window is built fails and the program
// ends with the fatal box that wraps the printer's message.
#include <gtest/gtest.h>

#include <string>

#include "support/ProfileDefaultPrinter.h"
#include "support/UiDriver.h"

// Closing the main window, in whatever state, ends the program normally.
TEST(StartupTest, StartsInTheShowStateItIsAskedForAndEndsNormallyWhenClosed) {
    const struct { int show; BOOL(WINAPI* reached)(HWND); const char* what; } cases[] = {
        {SW_SHOWMAXIMIZED, IsZoomed, "maximised"}, {SW_SHOWMINNOACTIVE, IsIconic, "minimised"}};
    for (const auto& c : cases) {
        AppProcess app(c.show);
        HWND main = app.MainWindow();
        ASSERT_NE(main, nullptr) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return c.reached(main) != FALSE; }, 3000)) << c.what;
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = 99;
        ASSERT_TRUE(app.WaitForExit(10000, &code)) << c.what;
        EXPECT_EQ(code, 0u) << c.what;
    }
}

TEST(StartupTest, MissingDefaultPrinterEndsStartUpWithTheFatalBox) {
    ProfileDefaultPrinter gone("No Such Printer,winspool,LPT1:");
    AppProcess app;
    HWND box = app.WaitForDialog("アプリケーション エラー", 20000);
    ASSERT_NE(box, nullptr) << "no fatal error box";
    const std::string text = AppProcess::MessageBoxText(box);
    EXPECT_NE(text.find("EReadError"), std::string::npos) << text;
    EXPECT_NE(text.find("PrintDialog1.Copies の読み込み中のエラー : デフォルト プリンタが存在しません."),
              std::string::npos)
        << text;
    EXPECT_EQ(app.WaitForWindow(nullptr, "Tetrafol", 0), nullptr) << "no main window was shown";
    PressButton(box, IDOK);
    DWORD exitCode = 0;
    ASSERT_TRUE(app.WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
}
