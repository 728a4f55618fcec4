// Start-up against a system whose default printer does not exist: setting the print
// dialog's copies while the main window is built fails, and the program ends with the
// fatal box that wraps the printer's message.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/ProfileDefaultPrinter.h"
#include "support/UiDriver.h"

namespace {

TEST(PrintStartupTest, MissingDefaultPrinterEndsStartUpWithTheFatalBox) {
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

}  // namespace
