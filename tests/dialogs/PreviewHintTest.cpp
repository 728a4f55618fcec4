// The preview button's hint across runs of the real picture-open dialog: a run closed from
// the keyboard while the pointer rests on the button leaves nothing that keeps the next
// run's hint from showing.
#include <gtest/gtest.h>
#include "dialogs/OpenPictureDialog.h"
#include "framework/Application.h"
#include "framework/HintWindow.h"
#include "framework/SpeedButton.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

// Rests the pointer on the preview button and waits for the hint; true when it showed.
bool HintShowsOverButton(TOpenPictureDialog& dialog) {
    const TRect b = dialog.PreviewButton().BoundsRect();
    POINT p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    ClientToScreen(dialog.PicturePanel().WindowHandle(), &p);
    SetCursorPos(p.x - 1, p.y - 1);
    SetCursorPos(p.x, p.y);
    return WaitUntil([] { return Application().HintWindow() && Application().HintWindow()->Showing(); }, 2000);
}

}  // namespace

TEST(PreviewHint, ShowsAgainInTheNextRunAfterAKeyboardClose) {
    CreateApplication();
    TempDir dir;
    const std::string file =
        dir.Write("hint.bmp", samples::WriteBmp(samples::SolidPicture(30, 20, {0, 0, 255}), {}));
    TOpenPictureDialog dialog;
    dialog.SetFileName(file);  // previewed as the run starts: the button is enabled
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        bool enabled = false, shown = false;
        SystemDialogAnswerer answer([&](HWND d) {
            enabled = WaitUntil([&] { return dialog.PreviewButton().Enabled(); }, 3000);
            shown = HintShowsOverButton(dialog);
            PressButton(d, IDCANCEL);  // the pointer stays on the button
        });
        EXPECT_FALSE(dialog.RunModal());
        answer.Wait();
        ASSERT_TRUE(enabled);
        EXPECT_TRUE(shown);
    }
    SetCursorPos(0, 0);
}
