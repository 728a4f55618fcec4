// The picture-open dialog: the filter it hands the system, and real runs of the system's
// open-file dialog answered from another thread, with what each run starts its preview with.
#include <gtest/gtest.h>
#include <atomic>
#include "dialogs/OpenPictureDialog.h"
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Form.h"
#include "framework/SpeedButton.h"
#include "graphics/Picture.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"
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
    TempDir dir;
    const std::string file =
        dir.Write("tetrafol-dialog-test.bmp", samples::WriteBmp(samples::SolidPicture(30, 20, {0, 0, 255}), {}));

    TForm form;
    form.SetBounds(40, 40, 200, 150);
    form.Show(SW_SHOWNORMAL);
    TOpenPictureDialog dialog;
    // What DialogShown leaves, seen from OnShow, which runs at its end.
    struct Start {
        std::string label, paintCaption, lastPreviewed;
        bool buttonEnabled = true;
        int32_t pictureWidth = -1;
        TRect strip, area;
    } start;
    dialog.OnShow = [&](TObject*) {
        start = Start{dialog.PictureLabel().Caption(), dialog.PaintPanel().Caption(), dialog.LastPreviewedName(),
                      dialog.PreviewButton().Enabled(), dialog.PaintBox().Picture().Width(),
                      dialog.PicturePanel().BoundsRect(), dialog.TemplateAreaRect()};
    };
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
    {
        SCOPED_TRACE("the first run starts empty, the strip right of the standard controls");
        EXPECT_EQ(start.label, "");
        EXPECT_FALSE(start.buttonEnabled);
        EXPECT_EQ(start.paintCaption, "(なし)");
        EXPECT_EQ(start.pictureWidth, 0);
        EXPECT_EQ(start.strip.Left, start.area.Right);
        EXPECT_EQ(start.strip.Top, 4);
        EXPECT_GT(start.area.Right, 0);
    }

    // The second run starts on the file, which the platform selects as it fills the list:
    // the preview loads it and the caption reports its size.
    std::atomic<bool> previewed{false};
    std::string caption;
    dialog.OnSelectionChange = [&](TObject*) {
        caption = dialog.PictureLabel().Caption();
        previewed = !caption.empty();
    };
    bool shown = true;
    auto cancelOnceShown = [&](HWND d) {
        shown = WaitUntil([&] { return previewed.load(); }, 5000) && shown;
        PressButton(d, IDCANCEL);
    };
    for (int run = 2; run <= 3; ++run) {
        SystemDialogAnswerer cancel(cancelOnceShown);
        EXPECT_FALSE(dialog.RunModal());
        cancel.Wait();
    }
    EXPECT_TRUE(shown) << "a run did not preview the file it started on";
    EXPECT_EQ(caption, " (30x20)");
    EXPECT_STRCASEEQ(dialog.FileName().c_str(), file.c_str());
    {
        SCOPED_TRACE("the next run keeps the caption and the button, and empties the preview");
        EXPECT_EQ(start.label, " (30x20)");
        EXPECT_TRUE(start.buttonEnabled);
        EXPECT_EQ(start.paintCaption, "(なし)");
        EXPECT_EQ(start.pictureWidth, 0);
        EXPECT_EQ(start.lastPreviewed, "");
    }
}
