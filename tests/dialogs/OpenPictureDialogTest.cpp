// The stand-in picture-open dialog: the filter it hands the system, and real runs of the
// system's open-file dialog answered from another thread.
#include <gtest/gtest.h>
#include "dialogs/OpenPictureDialog.h"
#include "framework/Form.h"
#include "graphics/Picture.h"
#include "support/SystemDialogAnswerer.h"
#include "support/UiDriver.h"

TEST(OpenPictureDialogFilter, BarsBecomeNulsExceptInsideDoubleByteCharacters) {
    EXPECT_EQ(FilterToPlatform(""), std::string());
    EXPECT_EQ(FilterToPlatform("Bitmaps (*.bmp)|*.bmp"), std::string("Bitmaps (*.bmp)\0*.bmp\0", 22));
    // "ポ" is 0x83 0x7C in Shift-JIS: its second byte is a bar and must stay.
    const std::string po = "ポ";
    ASSERT_EQ(po.size(), 2u);
    ASSERT_EQ(po[1], '|');
    EXPECT_EQ(FilterToPlatform("ポ|*.x"), po + std::string("\0*.x\0", 5));
}

TEST(OpenPictureDialogFilter, StartsWithEveryRegisteredPictureFormat) {
    TOpenPictureDialog dialog;
    EXPECT_EQ(dialog.Filter, GraphicFilter(&TGraphic::ClassInfo));
    EXPECT_NE(dialog.Filter.find("*.jpg"), std::string::npos);
    EXPECT_EQ(dialog.FileName(), "");
}

TEST(OpenPictureDialogRun, ConfirmedRunGivesTheFileCancelledRunKeepsIt) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "tetrafol-dialog-test.bmp";
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    TForm form;
    form.SetBounds(40, 40, 200, 150);
    form.Show(SW_SHOWNORMAL);
    TOpenPictureDialog dialog;
    bool formEnabledWhileShown = true;
    HWND owner = nullptr;
    SystemDialogAnswerer answer([&](HWND d) {
        formEnabledWhileShown = IsWindowEnabled(form.WindowHandle()) != FALSE;
        owner = GetWindow(d, GW_OWNER);
        AppProcess::AnswerOpenDialog(d, file);
    });
    bool confirmed = dialog.RunModal();
    answer.Wait();
    EXPECT_TRUE(confirmed);
    EXPECT_STRCASEEQ(dialog.FileName().c_str(), file.c_str());
    EXPECT_FALSE(formEnabledWhileShown);
    EXPECT_EQ(owner, form.WindowHandle()) << "owned by the window that was active";
    EXPECT_TRUE(IsWindowEnabled(form.WindowHandle()));

    SystemDialogAnswerer cancel([](HWND d) { PressButton(d, IDCANCEL); });
    EXPECT_FALSE(dialog.RunModal());
    cancel.Wait();
    EXPECT_STRCASEEQ(dialog.FileName().c_str(), file.c_str());
    DeleteFileA(file.c_str());
}
