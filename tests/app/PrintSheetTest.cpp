// The "印刷" button of the running program through the private spooler: pictures loaded
// into slots come out on one landscape page, each in its cell; a cancelled dialog prints
// nothing; empty and cleared slots leave blank paper.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/FourUpSheetLayout.h"
#include "printing/Printer.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

std::string WriteSolidBmp(const TempDir& dir, const std::string& name, int width, int height,
                          samples::Rgb colour) {
    return dir.Write(name, samples::WriteBmp(samples::SolidPicture(width, height, colour), {}));
}

// Four quadrants of different colours: shows the picture is printed the right way up.
std::string WriteQuadrantBmp(const TempDir& dir, const std::string& name, int width, int height,
                             const samples::Rgb quadrant[4]) {
    samples::Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back(quadrant[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return dir.Write(name, samples::WriteBmp(picture, {}));
}

class PrintSheetTest : public testing::Test {
protected:
    void SetUp() override {
        main_ = app_.MainWindow();
        ASSERT_NE(main_, nullptr) << "Tetrafol's main window did not appear";
    }

    void LoadSlot(int slot, const std::string& file) {
        ASSERT_TRUE(app_.ChooseFileFor(kSlotCentre[slot].x, kSlotCentre[slot].y, file))
            << "no picture-open dialog for slot " << slot + 1;
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }, 5000));
        Sleep(300);
    }

    // Clicks "印刷" and answers the print dialog.
    void Print(bool confirm) {
        ClickClient(main_, kPrintButton.x, kPrintButton.y);
        HWND dialog = app_.WaitForDialog(nullptr);
        ASSERT_NE(dialog, nullptr) << "no print dialog";
        PressButton(dialog, confirm ? IDOK : IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
    }

    TempDir files_;
    AppProcess app_;
    HWND main_ = nullptr;
};

// `box` is measured on the rendered sheet, `expected` in device pixels of the printable
// area, which starts at the driver's physical offset.
void ExpectBoxNear(const RECT& box, const TRect& expected, const PageGeometry& geometry, int slack = 3) {
    EXPECT_NEAR(box.left - geometry.offsetX, expected.Left, slack);
    EXPECT_NEAR(box.top - geometry.offsetY, expected.Top, slack);
    EXPECT_NEAR(box.right - geometry.offsetX, expected.Right, slack);
    EXPECT_NEAR(box.bottom - geometry.offsetY, expected.Bottom, slack);
}

TEST_F(PrintSheetTest, PicturesComeOutInTheirCellsOnOneLandscapePage) {
    const PageGeometry geometry = LandscapeGeometry();
    ASSERT_GT(geometry.width, geometry.height);
    LoadSlot(0, WriteSolidBmp(files_, "red.bmp", 160, 120, {255, 0, 0}));
    LoadSlot(3, WriteSolidBmp(files_, "blue.bmp", 60, 120, {0, 0, 255}));
    const samples::Rgb quadrants[4] = {{0, 160, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}};
    LoadSlot(1, WriteQuadrantBmp(files_, "quadrants.bmp", 200, 50, quadrants));

    PrintJobWatcher jobs;
    Print(false);
    EXPECT_EQ(jobs.CountNewJobsAfter(1500), 0u) << "a cancelled dialog prints nothing";

    Print(true);
    const std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "") << "no job reached the spooler";
    const RenderedPage page = RenderJob(job, geometry.dpi);
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);
    ASSERT_GE(page.width, geometry.width);
    ASSERT_GE(page.height, geometry.height);

    const TSheetCell cell = SheetCellSize(geometry.width, geometry.height);
    ExpectBoxNear(page.BoxOf(0xFF0000), SheetTargetRect(0, cell, 160, 120), geometry);
    // Each quadrant in its quarter of the target: not mirrored, not upside down.
    const TRect second = SheetTargetRect(1, cell, 200, 50);
    const int midX = second.Left + second.Width() / 2, midY = second.Top + second.Height() / 2;
    ExpectBoxNear(page.BoxOf(0x00A000), Rect(second.Left, second.Top, midX, midY), geometry);
    ExpectBoxNear(page.BoxOf(0x00FFFF), Rect(midX, second.Top, second.Right, midY), geometry);
    ExpectBoxNear(page.BoxOf(0xFF00FF), Rect(second.Left, midY, midX, second.Bottom), geometry);
    ExpectBoxNear(page.BoxOf(0xFFFF00), Rect(midX, midY, second.Right, second.Bottom), geometry);
    ExpectBoxNear(page.BoxOf(0x0000FF), SheetTargetRect(3, cell, 60, 120), geometry);
    // Slot 3 never had a picture: its cell is blank paper.
    const RECT thirdCell{geometry.offsetX + 100, geometry.offsetY + cell.Height + 200,
                         geometry.offsetX + cell.Width + 100, geometry.offsetY + 2 * cell.Height + 200};
    EXPECT_EQ(page.Count(0xFFFFFF, thirdCell, 8), static_cast<long>(cell.Width) * cell.Height);
    EXPECT_EQ(jobs.CountNewJobsAfter(1000), 0u) << "one click, one job";
}

// A photo-sized picture reaches the printer reduced to its cell, each printed pixel the
// average of the picture's pixels under it. Expected places for the 3508 x 2479 page of the
// private queue: cells (3508 - 300) / 2 = 1604 by (2479 - 300) / 2 = 1089 (truncated); for
// 6000 x 4000 the scales are 1604 / 6000 = 0.2673 and 1089 / 4000 = 0.2722, so the width
// decides: 1604 wide and trunc(4000 x 0.2673) = 1069 high, at (100, 100) in slot 1. The
// picture's halves meet at x = 100 + 1604 / 2 = 902 and y = 100 + 1069 / 2 = 634.5, so
// printed row 634 mixes the top and bottom quarters.
TEST_F(PrintSheetTest, PhotoSizedPictureIsPrintedAtItsCellsSize) {
    const PageGeometry geometry = LandscapeGeometry();
    ASSERT_EQ(geometry.width, 3508);
    ASSERT_EQ(geometry.height, 2479);
    const samples::Rgb quarters[3] = {{200, 30, 40}, {20, 160, 60}, {30, 60, 200}};
    LoadSlot(0, files_.Write("photo.bmp", samples::QuartersBmp(6000, 4000, quarters)));

    PrintJobWatcher jobs;
    Print(true);
    const std::string job = jobs.WaitForNewJob(120000);
    ASSERT_NE(job, "") << "no job reached the spooler";
    std::stringstream text;
    text << std::ifstream(WindowsPathOf(job), std::ios::binary).rdbuf();
    EXPECT_NE(text.str().find("/Width 1604\n /Height 1069\n"), std::string::npos)
        << "the image in the job is the cell's size";
    EXPECT_EQ(text.str().find("/Width 6000"), std::string::npos) << "not the picture's";

    const RenderedPage page = RenderJob(job, geometry.dpi);
    ASSERT_EQ(page.pages, 1);
    struct Quarter {
        const char* what;
        uint32_t rgb;
        TRect box;
        int tolerance;
    };
    const Quarter expected[] = {
        {"top left", 0xC81E28, Rect(100, 100, 902, 634), 0},
        {"top right", 0x14A03C, Rect(902, 100, 1704, 634), 0},
        {"bottom left", 0x1E3CC8, Rect(100, 635, 902, 1169), 0},
        // Black and white single pixels average to 127.5; a printed pixel covers 3.74 x 3.74
        // of them, whose unequal share of black and white moves it by at most 255 x 0.5 / 14.
        {"checkerboard", 0x808080, Rect(902, 635, 1704, 1169), 10},
    };
    for (const Quarter& q : expected) {
        SCOPED_TRACE(q.what);
        if (q.tolerance == 0) ExpectBoxNear(page.BoxOf(q.rgb, 0), q.box, geometry);
        // Inside, away from the edges the renderer may blend: every pixel that colour.
        const RECT inner{q.box.Left + 3, q.box.Top + 3, q.box.Right - 3, q.box.Bottom - 3};
        EXPECT_EQ(page.Count(q.rgb, inner, q.tolerance), long(inner.right - inner.left) * (inner.bottom - inner.top));
    }
}

TEST_F(PrintSheetTest, EmptyAndClearedSlotsPrintOneBlankPage) {
    PrintJobWatcher jobs;
    Print(true);  // nothing loaded yet
    std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    RenderedPage page = RenderJob(job, 100);
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);
    EXPECT_GT(page.width, page.height);
    const RECT all{0, 0, page.width, page.height};
    EXPECT_EQ(page.Count(0xFFFFFF, all, 8), static_cast<long>(page.width) * page.height);

    LoadSlot(2, WriteSolidBmp(files_, "red.bmp", 40, 30, {255, 0, 0}));
    ClickClient(main_, kClearButton.x, kClearButton.y);
    Sleep(500);
    Print(true);
    job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    page = RenderJob(job, 100);
    ASSERT_EQ(page.pages, 1);
    EXPECT_EQ(page.Count(0xFFFFFF, all, 8), static_cast<long>(page.width) * page.height);
}

}  // namespace
