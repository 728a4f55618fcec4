// The "印刷" button of the running program through the private spooler: pictures loaded
// into slots come out on one landscape page, each in its cell; a cancelled dialog prints
// nothing; empty and cleared slots leave blank paper.
#include <gtest/gtest.h>

#include <cstdio>

#include "graphics/bitmap/BmpSamples.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
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
        ASSERT_TRUE(Settle(main_));
    }

    // Clicks "印刷" and answers the print dialog.
    void Print(bool confirm) {
        ClickClient(main_, kPrintButton.x, kPrintButton.y);
        HWND dialog = app_.WaitForDialog(nullptr);
        ASSERT_NE(dialog, nullptr) << "no print dialog";
        PressButton(dialog, confirm ? IDOK : IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
        ASSERT_TRUE(Settle(main_)) << "the handler has returned";
    }

    TempDir files_;
    AppProcess app_;
    HWND main_ = nullptr;
};

TEST_F(PrintSheetTest, PicturesComeOutInTheirCellsOnOneLandscapePage) {
    const PageGeometry geometry = LandscapeGeometry();
    ASSERT_EQ(geometry.width, kSheetWidth);
    ASSERT_EQ(geometry.height, kSheetHeight);
    ASSERT_EQ(geometry.offsetX + geometry.offsetY, 0);
    LoadSlot(0, WriteSolidBmp(files_, "red.bmp", 160, 120, {255, 0, 0}));
    LoadSlot(3, WriteSolidBmp(files_, "blue.bmp", 60, 120, {0, 0, 255}));
    const samples::Rgb quadrants[4] = {{0, 160, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}};
    LoadSlot(1, WriteQuadrantBmp(files_, "quadrants.bmp", 200, 50, quadrants));

    PrintJobWatcher jobs;
    Print(false);
    EXPECT_EQ(jobs.CountNewJobs(), 0u) << "a cancelled dialog prints nothing";

    Print(true);
    const std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "") << "no job reached the spooler";
    const RenderedPage page = RenderJob(job, kSheetDpi);
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);
    ASSERT_GE(page.width, kSheetWidth);
    ASSERT_GE(page.height, kSheetHeight);

    // Cells 1604 x 1089 (SheetCells.h); scale = cell / picture per axis, the smaller decides.
    const struct { uint32_t colour; RECT where; const char* why; } rows[] = {
        // 160 x 120 in cell 1: 1604/160 = 10.025 > 1089/120 = 9.075, so width trunc(160 x 9.075) = 1452
        {0xFF0000, {100, 100, 1552, 1189}, "red, the height decides"},
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
        ExpectBoxNear(page.BoxOf(row.colour), row.where, 3);
    }
    // Slot 3 never had a picture: its cell is blank paper.
    const RECT& third = kSheetCells[2];
    EXPECT_EQ(page.Count(0xFFFFFF, third, 8), static_cast<long>(third.right - third.left) * (third.bottom - third.top));
    EXPECT_EQ(jobs.CountNewJobs(), 0u) << "one click, one job";
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
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main_).At(kSlotCentre[2].x, kSlotCentre[2].y) == 0xFF0000; }, 5000));
    ClickClient(main_, kClearButton.x, kClearButton.y);
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main_).At(kSlotCentre[2].x, kSlotCentre[2].y) != 0xFF0000; }, 5000));
    Print(true);
    job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    page = RenderJob(job, 100);
    ASSERT_EQ(page.pages, 1);
    EXPECT_EQ(page.Count(0xFFFFFF, all, 8), static_cast<long>(page.width) * page.height);
}

}  // namespace
