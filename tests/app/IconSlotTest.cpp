// An icon file in a slot of the running program: shown at its own size with the slot seen
// through its mask, kept when a damaged icon or a file of an unknown format is refused
// with an error box, and printed at its own size at its cell's top-left corner. A 32-bit
// icon without AND mask (as favicons are written) beside it is seen through where its
// alpha is 0, on screen and on paper.
#include <gtest/gtest.h>

#include "graphics/icon/IconSamples.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

using icosamples::Rgb;

const Rgb kQuadrants[4] = {{0, 0, 0}, {255, 0, 0}, {0, 160, 0}, {0, 0, 255}};

// 32 x 32 in four quadrants; the top-left one is see-through. `maskRows` 0: a 32-bit
// entry with no AND mask, its alpha telling instead.
icosamples::Bytes QuadrantIcon(int maskRows = -1) {
    icosamples::Entry e = icosamples::QuadrantEntry(32, kQuadrants, maskRows < 0 ? 24 : 32);
    e.maskRows = maskRows;
    e.seeThrough.assign(32 * 32, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) e.seeThrough[y * 32 + x] = 1;
    return icosamples::WriteIcon({icosamples::SolidEntry(16, {255, 255, 0}), e});
}

}  // namespace

TEST(IconSlot, AnIconIsShownAndPrintedAtItsOwnSizeAndADamagedOneIsRefused) {
    TempDir files;
    const std::string icon = files.Write("quadrants.ico", QuadrantIcon());
    icosamples::Bytes damaged = QuadrantIcon();
    damaged[6 + 16 + 8] = 0xFF;  // the second entry claims bytes past the file's end
    const std::string broken = files.Write("broken.ico", damaged);
    const std::string favicon = files.Write("favicon.ico", QuadrantIcon(0));

    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main).At(20, 20) == 0xFFFFFF; }, 5000));
    ASSERT_TRUE(Settle(main));
    const Pixels empty = CaptureClient(main);

    // Slot 3 is centred on (96, 220): the 32 x 32 icon's top left is at (80, 204); slot 4's
    // 192 pixels to the right.
    const int slot = 2, left = 80, top = 204;
    auto expected = [&](const Pixels& under, int x, int y, int at) {
        int q = (y < 16 ? 0 : 2) + (x < 16 ? 0 : 1);
        return q == 0 ? under.At(at + x, top + y) : kQuadrants[q].Packed();
    };
    auto wrongPixelsAt = [&](const Pixels& shot, int at) {
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) wrong += shot.At(at + x, top + y) != expected(empty, x, y, at);
        return wrong;
    };
    auto wrongPixels = [&](const Pixels& shot) { return wrongPixelsAt(shot, left); };
    ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[slot].x, kSlotCentre[slot].y, icon));
    Pixels shot;
    EXPECT_TRUE(WaitUntil([&] { return wrongPixels(shot = CaptureClient(main)) == 0; }, 8000))
        << wrongPixels(shot) << " pixels of the icon differ";
    EXPECT_EQ(shot.At(left + 32, top + 32), empty.At(left + 32, top + 32)) << "drawn at its own size";

    // Refused files: an error box (OK only, over a disabled window) and the slot as it was.
    const struct { std::string file, message; } refused[] = {
        {broken, "アイコンイメージが不正です."},
        {files.Write("photo.png", std::string("\x89PNG not really")), "拡張子 .png の画像形式は処理できません."}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.message);
        ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[slot].x, kSlotCentre[slot].y, r.file));
        HWND box = app.WaitForDialog("Tetrafol");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(AppProcess::MessageBoxText(box), r.message);
        EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "OK only";
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window is disabled while the box shows";
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
        // A box per repaint would come with the repaint that the closed box asks for: once
        // the window has painted and answered, it would be there.
        ASSERT_TRUE(Settle(main));
        EXPECT_EQ(app.WaitForWindow("#32770", "Tetrafol", 0), nullptr) << "one error box, not one per repaint";
        EXPECT_TRUE(WaitUntil([&] { return wrongPixels(shot = CaptureClient(main)) == 0; }, 5000))
            << "the slot keeps its icon";
    }

    ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[3].x, kSlotCentre[3].y, favicon));
    EXPECT_TRUE(WaitUntil([&] { return wrongPixelsAt(shot = CaptureClient(main), left + 192) == 0; }, 8000))
        << wrongPixelsAt(shot, left + 192) << " pixels of the icon without mask differ";

    // Printed: 32 x 32 device pixels at the top-left corners of cells 3 and 4 (SheetCells.h).
    const std::string job = PrintSheetConfirmed(app, main);
    ASSERT_NE(job, "") << "no print dialog, or no job reached the spooler";
    const RenderedPage page = RenderJob(job, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));
    // Both icons at the top left of their cells: each quadrant's colour spans the two.
    const int x = kSheetCells[2].left, y = kSheetCells[2].top, x2 = kSheetCells[3].left;
    struct Quadrant { int q; RECT where; } quadrants[] = {
        {1, {x + 16, y, x2 + 32, y + 16}}, {2, {x, y + 16, x2 + 16, y + 32}}, {3, {x + 16, y + 16, x2 + 32, y + 32}}};
    for (const Quadrant& q : quadrants) {
        SCOPED_TRACE(q.q);
        ExpectBoxNear(page.BoxOf(kQuadrants[q.q].Packed(), kPrinted), q.where);
    }
    for (int at : {x, x2}) {
        const RECT seeThrough{at + 2, y + 2, at + 14, y + 14};
        EXPECT_EQ(page.Count(seeThrough, 0xFFFFFF, 8), 12 * 12) << "the paper shows through the mask at " << at;
        const RECT shown{at + 18, y + 18, at + 30, y + 30};
        EXPECT_EQ(page.Count(shown, kQuadrants[3].Packed(), 8), 12 * 12) << "the icon is drawn at " << at;
    }
}
