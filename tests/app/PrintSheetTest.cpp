// The "印刷" button of the running program through the private spooler: pictures loaded
// into slots (BMPs and a JPEG photo, which also shows fitted in its slot) come out on one
// landscape page, each in its cell, the right way up; a cancelled dialog prints nothing;
// empty and cleared slots leave blank paper; a photo-sized picture goes out at its cell's size.
#include <gtest/gtest.h>

#include "graphics/bitmap/BmpSamples.h"
#include "graphics/jpeg/JpegSamples.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

// Four quadrants of different colours (0x00RRGGBB): shows the picture is the right way up.
samples::Picture Quadrants(int width, int height, const uint32_t quadrant[4]) {
    samples::Rgb colours[4];
    for (int i = 0; i < 4; ++i) colours[i] = {uint8_t(quadrant[i] >> 16), uint8_t(quadrant[i] >> 8), uint8_t(quadrant[i])};
    return {width, height, samplebytes::QuadrantPixels(width, height, colours)};
}

// A JPEG of flat quadrants on whole 8 x 8 blocks, so the compressed colours stay close.
std::string WriteQuadrantJpeg(const TempDir& dir, const std::string& name, int width, int height,
                              const uint32_t quadrant[4], int orientation) {
    const samples::Picture picture = Quadrants(width, height, quadrant);
    jpegsamples::Recipe recipe{"photo", width, height, jpegsamples::Colour::Rgb, 1, 1};
    recipe.quality = 95;
    recipe.rgb = &picture.pixels[0].r;  // red, green, blue bytes, row after row
    return dir.Write(name, jpegsamples::WithApp1(jpegsamples::Make(recipe), jpegsamples::ExifBlock(orientation, true)));
}

class PrintSheetTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(main_, nullptr) << "Tetrafol's main window did not appear"; }
    void LoadSlot(int slot, const std::string& file) {
        ASSERT_TRUE(app_.LoadSlot(slot, file)) << "no picture-open dialog for slot " << slot + 1;
    }
    void Print(bool confirm) { ASSERT_TRUE(app_.Print(confirm)) << "no print dialog, or the handler did not return"; }

    TempDir files_;
    AppProcess app_;
    HWND main_ = app_.Ready();
};

TEST_F(PrintSheetTest, PicturesComeOutInTheirCellsOnOneLandscapePageEmptyAndClearedSlotsAsBlankPaper) {
    PrintJobWatcher jobs;
    auto printBlank = [&](const char* when) {
        SCOPED_TRACE(when);
        Print(true);
        const RenderedPage page = RenderNextJob(jobs, 100);
        ASSERT_EQ(page.pages, 1);
        EXPECT_TRUE(page.landscape);
        EXPECT_GT(page.width, page.height);
        EXPECT_EQ(page.Count(page.All(), 0xFFFFFF, 8), static_cast<long>(page.width) * page.height);
    };
    printBlank("nothing loaded yet");
    const uint32_t photo[4] = {0xFF0000, 0x000000, 0xFF8000, 0x0000A0};
    const uint32_t stored[4] = {photo[1], photo[3], photo[0], photo[2]};  // on its side, 6 turns it upright
    LoadSlot(0, WriteQuadrantJpeg(files_, "photo.jpg", 128, 160, stored, 6));
    LoadSlot(3, files_.Write("blue.bmp", samples::WriteBmp(samples::SolidPicture(60, 120, {0, 0, 255}), {})));
    const uint32_t quadrants[4] = {0x00A000, 0x00FFFF, 0xFF00FF, 0xFFFF00};
    LoadSlot(1, files_.Write("quadrants.bmp", samples::WriteBmp(Quadrants(200, 50, quadrants), {})));

    // The photo fitted into slot 1 (160 x 120 at (16, 16)): 128 rows are too many, so the
    // height decides: 120 rows, width trunc(120 x 1.25) = 150, moved right by
    // (160 - 150) / 2 = 5: (21, 16, 171, 136), split at x 21 + 75 = 96 and y 16 + 60 = 76.
    const RECT onScreen[4] = {{21, 16, 96, 76}, {96, 16, 171, 76}, {21, 76, 96, 136}, {96, 76, 171, 136}};
    const Pixels shot = CaptureClient(main_);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const RECT& r = onScreen[i];
        EXPECT_GE(shot.Count(r, photo[i], 24), (r.right - r.left - 2) * (r.bottom - r.top - 2));
        // None outside by more than a blended edge pixel.
        EXPECT_EQ(shot.Count(RECT{0, 0, 200, 160}, photo[i], 24),
                  shot.Count(RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, photo[i], 24));
    }

    Print(false);
    EXPECT_EQ(jobs.CountNewJobs(), 0u) << "a cancelled dialog prints nothing";

    Print(true);
    const RenderedPage page = RenderNextJob(jobs, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));

    // Cells 1604 x 1089 (SheetCells.h); scale = cell / picture per axis, the smaller decides.
    const struct { uint32_t colour; RECT where; const char* why; } rows[] = {
        // 160 x 128 in cell 1: 1604/160 = 10.025 > 1089/128 = 8.5078, so the height decides:
        // width trunc(160 x 8.5078) = 1361; split at 100 + 80 x 8.5078 = 780.6, 100 + 64 x 8.5078 = 644.5
        {photo[0], {100, 100, 781, 645}, "photo, top left quadrant, the height decides"},
        {photo[1], {781, 100, 1461, 645}, "photo, top right quadrant"},
        {photo[2], {100, 645, 781, 1189}, "photo, bottom left quadrant"},
        {photo[3], {781, 645, 1461, 1189}, "photo, bottom right quadrant"},
        // 200 x 50 in cell 2: 1604/200 = 8.02 < 1089/50 = 21.78, so height trunc(50 x 8.02) = 401;
        // the quadrants split at 1804 + 100 x 8.02 = 2606 and 100 + 25 x 8.02 = 300.5
        {0x00A000, {1804, 100, 2606, 300}, "top left quadrant, the width decides"},
        {0x00FFFF, {2606, 100, 3408, 300}, "top right quadrant"},
        {0xFF00FF, {1804, 300, 2606, 501}, "bottom left quadrant"},
        {0xFFFF00, {2606, 300, 3408, 501}, "bottom right quadrant"},
        // 60 x 120 in cell 4: 1604/60 = 26.7 > 9.075, so width trunc(60 x 9.075) = 544
        {0x0000FF, {1804, 1289, 2348, 2378}, "blue, the height decides"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        ExpectBoxNear(page.BoxOf(row.colour, kPrinted), row.where, 4);
    }
    // Slot 3 never had a picture: its cell is blank paper.
    const RECT& third = kSheetCells[2];
    EXPECT_EQ(page.Count(third, 0xFFFFFF, 8), static_cast<long>(third.right - third.left) * (third.bottom - third.top));
    EXPECT_EQ(jobs.CountNewJobs(), 0u) << "one click, one job";

    ClickClient(main_, kClearButton.x, kClearButton.y);
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main_).Count(0x0000FF) == 0; }, 5000)) << "not cleared";
    printBlank("cleared");

    // A photo-sized picture reaches the printer reduced to its cell, each printed pixel the
    // average of the picture's pixels under it. For 6000 x 4000 the scales are 1604 / 6000 =
    // 0.2673 and 1089 / 4000 = 0.2722, so the width decides: 1604 wide and trunc(4000 x
    // 0.2673) = 1069 high, at (100, 100) in slot 1. The picture's halves meet at x = 100 +
    // 1604 / 2 = 902 and y = 100 + 1069 / 2 = 634.5, so printed row 634 mixes the top and
    // bottom quarters.
    const samples::Rgb quarters[3] = {{200, 30, 40}, {20, 160, 60}, {30, 60, 200}};
    LoadSlot(0, files_.Write("photo.bmp", samples::QuartersBmp(6000, 4000, quarters)));

    Print(true);
    const std::string job = jobs.WaitForNewJob(120000);
    ASSERT_NE(job, "") << "no job reached the spooler";
    const std::string text = ReadWholeFile(WindowsPathOf(job));
    EXPECT_NE(text.find("/Width 1604\n /Height 1069\n"), std::string::npos)
        << "the image in the job is the cell's size";
    EXPECT_EQ(text.find("/Width 6000"), std::string::npos) << "not the picture's";

    const RenderedPage photoPage = RenderJob(job, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(photoPage));
    const struct { const char* what; uint32_t rgb; RECT box; int tolerance; } expected[] = {
        {"top left", 0xC81E28, {100, 100, 902, 634}, 0},
        {"top right", 0x14A03C, {902, 100, 1704, 634}, 0},
        {"bottom left", 0x1E3CC8, {100, 635, 902, 1169}, 0},
        // Black and white single pixels average to 127.5; a printed pixel covers 3.74 x 3.74
        // of them, whose unequal share of black and white moves it by at most 255 x 0.5 / 14.
        {"checkerboard", 0x808080, {902, 635, 1704, 1169}, 10},
    };
    for (const auto& q : expected) {
        SCOPED_TRACE(q.what);
        if (q.tolerance == 0) ExpectBoxNear(photoPage.BoxOf(q.rgb, 0), q.box, 3);
        // Inside, away from the edges the renderer may blend: every pixel that colour.
        const RECT inner{q.box.left + 3, q.box.top + 3, q.box.right - 3, q.box.bottom - 3};
        EXPECT_EQ(photoPage.Count(inner, q.rgb, q.tolerance), long(inner.right - inner.left) * (inner.bottom - inner.top));
    }
}

}  // namespace
