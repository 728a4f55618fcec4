// A JPEG photo through the running program: chosen for a slot, shown there, and printed in
// its cell of the landscape sheet the right way up and with its colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/FourUpSheetLayout.h"
#include "printing/Printer.h"
#include "support/Form1Points.h"
#include "graphics/jpeg/JpegSamples.h"
#include "support/PrintedPages.h"
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

    // The landscape page as the program will see it, asked of the same spooler.
    const PageGeometry geometry = LandscapeGeometry();
    const int pageWidth = geometry.width, pageHeight = geometry.height, dpi = geometry.dpi;
    const int offsetX = geometry.offsetX, offsetY = geometry.offsetY;

    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[0].x, kSlotCentre[0].y, path));
    // Reduced to fit and centred in the slot: each quadrant lies around the slot's centre.
    const POINT c = kSlotCentre[0];
    const POINT probes[4] = {{c.x - 20, c.y - 15}, {c.x + 20, c.y - 15}, {c.x - 20, c.y + 15}, {c.x + 20, c.y + 15}};
    ScreenImage shot;
    bool shown = WaitUntil([&] {
        shot = CaptureClient(main);
        for (int i = 0; i < 4; ++i)
            if (!Near(shot.At(probes[i].x, probes[i].y), quadrant[i])) return false;
        return true;
    }, 8000);
    EXPECT_TRUE(shown) << std::hex << shot.At(probes[0].x, probes[0].y);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));

    const std::string job = PrintSheetConfirmed(app, main);
    ASSERT_NE(job, "") << "no print dialog, or no job reached the spooler";
    const RenderedPage page = RenderJob(job, dpi);
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);

    // Each quadrant in its quarter of the cell's target rectangle: not mirrored, not turned.
    const TRect target = SheetTargetRect(0, SheetCellSize(pageWidth, pageHeight), width, height);
    const int midX = target.Left + target.Width() / 2, midY = target.Top + target.Height() / 2;
    const TRect quarters[4] = {Rect(target.Left, target.Top, midX, midY), Rect(midX, target.Top, target.Right, midY),
                               Rect(target.Left, midY, midX, target.Bottom), Rect(midX, midY, target.Right, target.Bottom)};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        RECT box = page.BoxOf(quadrant[i]);
        EXPECT_NEAR(box.left - offsetX, quarters[i].Left, 4);
        EXPECT_NEAR(box.top - offsetY, quarters[i].Top, 4);
        EXPECT_NEAR(box.right - offsetX, quarters[i].Right, 4);
        EXPECT_NEAR(box.bottom - offsetY, quarters[i].Bottom, 4);
    }
}
