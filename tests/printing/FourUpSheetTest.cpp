// The four-up sheet through the real print dialog and spooler: what lands where on the
// printed page, what a cancelled dialog gives, and that a picture failing
// mid-sheet abandons the job and leaves the printer ready for the next sheet.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/FourUpSheet.h"
#include "app/Unit1.h"
#include "display/Image.h"
#include "framework/Application.h"
#include "dialogs/PrintDialog.h"
#include "graphics/Canvas.h"
#include "graphics/Picture.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
#include "support/SystemDialogAnswerer.h"
#include "support/UiDriver.h"
#include "support/TestGraphic.h"
#include "support/RaisedMessage.h"

namespace {

// A picture of one colour and a chosen size that notes whether the sheet was open as it
// drew; it can be told to fail when drawn.
bool drawnWhileSheetOpen = false;
void Load(TPicture& picture, int32_t width, int32_t height, COLORREF colour, bool failOnDraw = false) {
    TTestGraphic block(width, height, colour);
    block.onDraw = [] { drawnWhileSheetOpen = SheetPrintInProgress(); };
    if (failOnDraw) block.failure = "the picture's data is damaged";
    picture.SetGraphic(&block);
}

class FourUpSheet : public testing::Test {
protected:
    void SetUp() override { dialog.SetCopies(1); }

    // Runs the sheet (or `print`) with the print dialog confirmed (or cancelled).
    void PrintConfirming(bool confirm = true, const std::function<void()>& print = nullptr) {
        SystemDialogAnswerer answer(
            [confirm](HWND window) { PostMessageA(window, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0); });
        print ? print() : PrintFourUpSheet(dialog, slots);
    }

    TPrintDialog dialog;
    TPicture pictures[4];
    TPicture* slots[4] = {&pictures[0], &pictures[1], &pictures[2], &pictures[3]};
};

TEST_F(FourUpSheet, EachPictureLandsInItsCellOnOneLandscapePageACancelledDialogPrintsNothing) {
    Printer()->SetPageOrientation(TPrinterOrientation::poPortrait);
    // Cells 1604 x 1089 (SheetCells.h); scale = cell / picture per axis, the smaller decides.
    const struct { int slot, width, height; COLORREF colour; RECT where; } rows[] = {
        // 1604/2000 = 0.802 < 1089/1000 = 1.089: the width decides, height trunc(1000 x 0.802) = 802
        {0, 2000, 1000, RGB(255, 0, 0), {100, 100, 1704, 902}},
        // 1604/400 = 4.01 > 1089/800 = 1.36125: the height decides, width trunc(400 x 1.36125) = 544
        {2, 400, 800, RGB(0, 0, 255), {100, 1289, 644, 2378}},
        // sizes add up to 1: left out (slot 2 has no picture at all)
        {3, 1, 0, RGB(0, 160, 0), {0, 0, 0, 0}},
    };
    for (const auto& row : rows) Load(pictures[row.slot], row.width, row.height, row.colour);
    drawnWhileSheetOpen = false;
    PrintJobWatcher jobs;
    PrintConfirming(false);
    EXPECT_EQ(Printer()->DeviceMode()->dmOrientation, DMORIENT_PORTRAIT) << "a cancelled dialog keeps it";
    EXPECT_EQ(jobs.CountNewJobs(), 0u) << "a cancelled dialog prints nothing";
    EXPECT_FALSE(drawnWhileSheetOpen);

    PrintConfirming();
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_TRUE(drawnWhileSheetOpen);
    EXPECT_FALSE(Printer()->IsPrinting());
    EXPECT_EQ(Printer()->DeviceMode()->dmOrientation, DMORIENT_LANDSCAPE);  // stays for the next

    const RenderedPage page = RenderNextJob(jobs, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.slot);
        ExpectBoxNear(page.BoxOf(RgbOf(row.colour), kPrinted), row.where);
    }
    // Slot 2's cell is blank paper.
    const RECT& second = kSheetCells[1];
    EXPECT_EQ(page.Count(second, 0xFFFFFF, 8), static_cast<long>(second.right - second.left) * (second.bottom - second.top));
}

// Messages dispatched while the job starts (the abort procedure) already see the sheet
// in progress, so the main window's handlers wait: clicks on a slot or on "印刷" open no
// dialog inside the job, "クリア" leaves the pictures being drawn alone.
TEST_F(FourUpSheet, SheetCountsAsInProgressFromTheJobsStartAndTheHandlersWait) {
    Application().Initialize();
    static TForm1* form;
    static int pumps = 0, pumpsWhileOpen = 0, dialogs = 0;
    TForm1 main;
    form = &main, pumps = pumpsWhileOpen = dialogs = 0;
    SetPrintingMessagePump([] {
        pumpsWhileOpen += SheetPrintInProgress();
        if (pumps++ == 0)
            for (auto click : {&TForm1::Image1Click, &TForm1::Button1Click, &TForm1::Button2Click}) {
                SystemDialogAnswerer cancel([](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); }, 3000);
                (form->*click)(nullptr);
                cancel.Wait();
                dialogs += cancel.Answered();
            }
    });
    Load(main.Image1->Picture(), 10, 10, RGB(255, 0, 0));
    PrintJobWatcher jobs;
    PrintConfirming(true, [&] { main.Button1Click(nullptr); });
    SetPrintingMessagePump(nullptr);
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(pumpsWhileOpen, pumps);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(main.Image1->Picture().Width(), 10);
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_NE(jobs.WaitForNewJob(), "");
}

TEST_F(FourUpSheet, FailingPictureAbandonsTheJobAndTheNextSheetPrints) {
    Load(pictures[0], 300, 200, RGB(255, 0, 0));
    Load(pictures[1], 300, 200, RGB(0, 0, 255), true);
    PrintJobWatcher jobs;
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { PrintConfirming(); }), "the picture's data is damaged");
    EXPECT_FALSE(SheetPrintInProgress());
    EXPECT_FALSE(Printer()->IsPrinting());

    // A zero-width picture fails in the arithmetic, after slot 1 was drawn: same path.
    Load(pictures[1], 0, 200, RGB(0, 0, 255));
    EXPECT_EQ(MessageOf<EZeroDivide>([&] { PrintConfirming(); }), "0 による浮動小数点数除算");
    EXPECT_FALSE(Printer()->IsPrinting());
    EXPECT_EQ(jobs.CountNewJobs(), 0u);  // neither half-drawn page went out

    Load(pictures[1], 300, 200, RGB(0, 0, 255));
    PrintConfirming();
    const RenderedPage page = RenderNextJob(jobs, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));
    // 300 x 200: 1604/300 = 5.3467 < 1089/200 = 5.445, the width decides: height trunc(200 x 5.3467) = 1069
    ExpectBoxNear(page.BoxOf(0xFF0000, kPrinted), {100, 100, 1704, 1169});
    ExpectBoxNear(page.BoxOf(0x0000FF, kPrinted), {1804, 100, 3408, 1169});
}

}  // namespace
