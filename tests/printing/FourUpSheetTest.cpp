// The four-up sheet through the real print dialog and spooler: what lands where on the
// printed page, what a cancelled dialog gives, and that a picture failing
// mid-sheet abandons the job and leaves the printer ready for the next sheet.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/FourUpSheet.h"
#include "app/FourUpSheetLayout.h"
#include "dialogs/PrintDialog.h"
#include "graphics/Canvas.h"
#include "graphics/Picture.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "support/PrintedPages.h"
#include "support/SystemDialogAnswerer.h"

namespace {

// A picture of one colour and a chosen size; it can be told to fail when drawn.
class ColourBlock : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    void Set(int32_t width, int32_t height, COLORREF colour, bool failOnDraw = false) {
        width_ = width;
        height_ = height;
        colour_ = colour;
        failOnDraw_ = failOnDraw;
    }
    void CopyFrom(TPersistent* source) override {
        auto* other = dynamic_cast<ColourBlock*>(source);
        if (!other) return TGraphic::CopyFrom(source);
        Set(other->width_, other->height_, other->colour_, other->failOnDraw_);
    }
    void DrawStretched(TCanvas& canvas, const TRect& rect) override {
        drawnWhileSheetOpen = SheetPrintInProgress();
        if (failOnDraw_) throw EInvalidGraphic("the picture's data is damaged");
        HBRUSH brush = CreateSolidBrush(colour_);
        RECT area{rect.Left, rect.Top, rect.Right, rect.Bottom};
        FillRect(canvas.Handle(), &area, brush);
        DeleteObject(brush);
    }
    bool IsEmpty() const override { return width_ == 0 || height_ == 0; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    void SetWidth(int32_t value) override { width_ = value; }
    void SetHeight(int32_t value) override { height_ = value; }
    void ReadFromStream(TStream&) override {}
    void WriteToStream(TStream&) override {}
    void ReadClipboardData(uint16_t, HANDLE, HPALETTE) override {}
    void WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) override {}

    static bool drawnWhileSheetOpen;

private:
    int32_t width_ = 0, height_ = 0;
    COLORREF colour_ = 0;
    bool failOnDraw_ = false;
};

bool ColourBlock::drawnWhileSheetOpen = false;
const TGraphicClassInfo ColourBlock::ClassInfo = {"ColourBlock", &TGraphic::ClassInfo,
                                                  [] () -> TGraphic* { return new ColourBlock; }};

void Load(TPicture& picture, int32_t width, int32_t height, COLORREF colour, bool failOnDraw = false) {
    ColourBlock block;
    block.Set(width, height, colour, failOnDraw);
    picture.SetGraphic(&block);
}

void ExpectBoxNear(const RECT& box, const TRect& expected, int slack = 2) {
    EXPECT_NEAR(box.left, expected.Left, slack);
    EXPECT_NEAR(box.top, expected.Top, slack);
    EXPECT_NEAR(box.right, expected.Right, slack);
    EXPECT_NEAR(box.bottom, expected.Bottom, slack);
}

class FourUpSheet : public testing::Test {
protected:
    void SetUp() override { dialog.SetCopies(1); }

    // Runs the sheet with the print dialog confirmed (or cancelled).
    void PrintConfirming(bool confirm = true) {
        SystemDialogAnswerer answer(
            [confirm](HWND window) { PostMessageA(window, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0); });
        PrintFourUpSheet(dialog, slots);
    }

    TPrintDialog dialog;
    TPicture pictures[4];
    TPicture* slots[4] = {&pictures[0], &pictures[1], &pictures[2], &pictures[3]};
};

TEST_F(FourUpSheet, EachPictureLandsInItsCellOnOneLandscapePage) {
    Printer()->SetPageOrientation(TPrinterOrientation::poPortrait);
    Load(pictures[0], 1600, 1200, RGB(255, 0, 0));  // wider than its cell: the width decides
    // slot 2 has no picture at all
    Load(pictures[2], 400, 800, RGB(0, 0, 255));    // taller: the height decides
    Load(pictures[3], 1, 0, RGB(0, 160, 0));        // sizes add up to 1: left out
    ColourBlock::drawnWhileSheetOpen = false;
    PrintJobWatcher jobs;

    PrintConfirming();
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_TRUE(ColourBlock::drawnWhileSheetOpen);
    EXPECT_FALSE(Printer()->IsPrinting());
    EXPECT_EQ(Printer()->DeviceMode()->dmOrientation, DMORIENT_LANDSCAPE);  // stays for the next

    const std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    const int width = Printer()->PrintableWidth(), height = Printer()->PrintableHeight();
    const RenderedPage page = RenderJob(job, GetDeviceCaps(Printer()->DeviceContext(), LOGPIXELSX));
    ASSERT_EQ(page.pages, 1);
    EXPECT_TRUE(page.landscape);
    ASSERT_EQ(page.width, width);
    ASSERT_EQ(page.height, height);

    const TSheetCell cell = SheetCellSize(width, height);
    ExpectBoxNear(page.BoxOf(0xFF0000), SheetTargetRect(0, cell, 1600, 1200));
    ExpectBoxNear(page.BoxOf(0x0000FF), SheetTargetRect(2, cell, 400, 800));
    EXPECT_EQ(page.BoxOf(0x00A000).right, 0);
    // Slot 2's cell and everything outside the two pictures is blank paper.
    const RECT secondCell{cell.Width + 200, 100, 2 * cell.Width + 200, cell.Height + 100};
    EXPECT_EQ(page.Count(0xFFFFFF, secondCell, 8),
              static_cast<long>(cell.Width) * cell.Height);
}

// Messages dispatched while the job starts (the abort procedure) already see the sheet
// in progress, so the slot and Clear handlers cannot swap pictures under the drawing.
TEST_F(FourUpSheet, SheetCountsAsInProgressFromTheJobsStart) {
    static int pumps = 0, pumpsWhileOpen = 0;
    pumps = pumpsWhileOpen = 0;
    SetPrintingMessagePump([] {
        ++pumps;
        pumpsWhileOpen += SheetPrintInProgress();
    });
    Load(pictures[0], 10, 10, RGB(255, 0, 0));
    PrintJobWatcher jobs;
    PrintConfirming();
    SetPrintingMessagePump(nullptr);
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(pumpsWhileOpen, pumps);
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_NE(jobs.WaitForNewJob(), "");
}

TEST_F(FourUpSheet, CancelledDialogPrintsNothingAndKeepsTheOrientation) {
    Printer()->SetPageOrientation(TPrinterOrientation::poPortrait);
    Load(pictures[0], 10, 10, RGB(255, 0, 0));
    PrintJobWatcher jobs;
    PrintConfirming(false);
    EXPECT_EQ(Printer()->DeviceMode()->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(jobs.CountNewJobsAfter(1500), 0u);
}

TEST_F(FourUpSheet, FailingPictureAbandonsTheJobAndTheNextSheetPrints) {
    Load(pictures[0], 300, 200, RGB(255, 0, 0));
    Load(pictures[1], 300, 200, RGB(0, 0, 255), true);
    PrintJobWatcher jobs;
    try {
        PrintConfirming();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& error) {
        EXPECT_EQ(error.Message(), "the picture's data is damaged");
    }
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_FALSE(Printer()->IsPrinting());

    // A zero-width picture fails in the arithmetic, after slot 1 was drawn: same path.
    Load(pictures[1], 0, 200, RGB(0, 0, 255));
    try {
        PrintConfirming();
        ADD_FAILURE() << "no error";
    } catch (const EZeroDivide& error) {
        EXPECT_EQ(error.Message(), "0 による浮動小数点数除算");
    }
    EXPECT_FALSE(Printer()->IsPrinting());
    EXPECT_EQ(jobs.CountNewJobsAfter(1500), 0u);  // neither half-drawn page went out

    Load(pictures[1], 300, 200, RGB(0, 0, 255));
    PrintConfirming();
    const std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    const RenderedPage page = RenderJob(job, GetDeviceCaps(Printer()->DeviceContext(), LOGPIXELSX));
    ASSERT_EQ(page.pages, 1);
    const TSheetCell cell = SheetCellSize(page.width, page.height);
    ExpectBoxNear(page.BoxOf(0xFF0000), SheetTargetRect(0, cell, 300, 200));
    ExpectBoxNear(page.BoxOf(0x0000FF), SheetTargetRect(1, cell, 300, 200));
}

}  // namespace
