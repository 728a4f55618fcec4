// A JPEG photo through the running program: chosen for a slot, shown there, and printed in
// its cell of the landscape sheet the right way up and with its colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/Form1Points.h"
#include "graphics/jpeg/JpegSamples.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

bool Near(uint32_t got, uint32_t want, int tolerance = 24) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

}  // namespace

TEST(JpegPhoto, ShowsInASlotAndPrintsInItsCell) {
    // Four solid quadrants on whole 8 x 8 blocks, so the compressed colours stay close.
    const int width = 160, height = 128;
    const uint32_t quadrant[4] = {0x00A000, 0x00FFFF, 0xFF00FF, 0xFFFF00};
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t c = quadrant[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
            rgb.insert(rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    jpegsamples::Recipe recipe{"photo", width, height, jpegsamples::Colour::Rgb, 1, 1};
    recipe.quality = 95;
    recipe.rgb = rgb.data();
    TempDir files;
    const std::string path = files.Write("photo.jpg", jpegsamples::Make(recipe));

    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[0].x, kSlotCentre[0].y, path));
    // Fitted into slot 1 (160 x 120 at (16, 16)): 128 rows are too many, so the height
    // decides: 120 rows, width trunc(120 x 1.25) = 150, moved right by (160 - 150) / 2 = 5:
    // (21, 16, 171, 136), split at x 21 + 75 = 96 and y 16 + 60 = 76.
    const RECT onScreen[4] = {{21, 16, 96, 76}, {96, 16, 171, 76}, {21, 76, 96, 136}, {96, 76, 171, 136}};
    auto boxOf = [](const ScreenImage& shot, uint32_t colour) {
        RECT box{shot.width, shot.height, 0, 0};
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if (Near(shot.At(x, y), colour)) {
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                           std::max<LONG>(box.bottom, y + 1)};
                }
        return box;
    };
    auto fitted = [&](const ScreenImage& shot) {
        for (int i = 0; i < 4; ++i) {
            const RECT box = boxOf(shot, quadrant[i]), want = onScreen[i];
            if (std::abs(box.left - want.left) > 1 || std::abs(box.top - want.top) > 1 ||
                std::abs(box.right - want.right) > 1 || std::abs(box.bottom - want.bottom) > 1)
                return false;
        }
        return true;
    };
    ScreenImage shot;
    EXPECT_TRUE(WaitUntil([&] { return fitted(shot = CaptureClient(main)); }, 8000))
        << "quadrant 1 at " << boxOf(shot, quadrant[0]).left << "," << boxOf(shot, quadrant[0]).top << ","
        << boxOf(shot, quadrant[0]).right << "," << boxOf(shot, quadrant[0]).bottom;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));

    const std::string job = PrintSheetConfirmed(app, main);
    ASSERT_NE(job, "") << "no print dialog, or no job reached the spooler";
    const RenderedPage page = RenderJob(job, kSheetDpi);
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);

    // In cell 1 (SheetCells.h): 1604/160 = 10.025 > 1089/128 = 8.5078125, so the height
    // decides: (100, 100, 100 + trunc(160 x 8.5078125) = 1461, 1189), split at
    // x 100 + 80 x 8.5078 = 780.6 and y 100 + 64 x 8.5078 = 644.5. Each quadrant in its
    // quarter: not mirrored, not turned.
    const RECT onPaper[4] = {{100, 100, 781, 645}, {781, 100, 1461, 645}, {100, 645, 781, 1189}, {781, 645, 1461, 1189}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectBoxNear(page.BoxOf(quadrant[i]), onPaper[i], 4);
    }
}
