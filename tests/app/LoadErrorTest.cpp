// Choosing a file of a format the program does not read: the error box names the extension
// and the slot keeps what it showed.
#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

TEST(LoadErrorTest, UnknownExtensionShowsTheErrorAndKeepsTheSlot) {
    TempDir files;
    const std::string file = files.Write("photo.png", std::string("\x89PNG not really"));
    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    const ScreenImage before = CaptureClient(main);

    // The middle of slot 1.
    ASSERT_TRUE(app.ChooseFileFor(96, 76, file)) << "a click on the slot opens the picture-open dialog";

    HWND box = app.WaitForDialog("Tetrafol");
    ASSERT_NE(box, nullptr) << "an error box captioned with the application title";
    EXPECT_EQ(AppProcess::MessageBoxText(box), "拡張子 .png の画像形式は処理できません.");
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "OK only";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window is disabled while the box shows";
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 2000));

    // Repaints after a box closes can take a while on the virtual display.
    ScreenImage after;
    WaitUntil([&] {
        after = CaptureClient(main);
        return after.pixels == before.pixels;
    }, 3000);
    ASSERT_EQ(after.width, before.width);
    int changed = 0;
    for (int y = 16; y < 136; ++y)
        for (int x = 16; x < 176; ++x) changed += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(changed, 0) << "slot 1 looks as it did before";
}

}  // namespace
