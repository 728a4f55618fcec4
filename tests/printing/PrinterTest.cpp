// The printer object against the private CUPS spooler: its list, the default printer, the
// device settings, the context states and the job rules with their messages.
#include <gtest/gtest.h>

#include "printing/Printer.h"
#include "printing/PrinterCanvas.h"
#include "printing/SpoolerErrors.h"
#include "rtl/Exceptions.h"
#include "support/PrintedPages.h"
#include "support/SheetCells.h"
#include "support/ProfileDefaultPrinter.h"
#include "support/RaisedMessage.h"

namespace {

const char kQueue[] = "Tetrafol_PDF";  // the rig's one queue, the default printer

void FillWith(HDC dc, const RECT& area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// Where the next job's one page shows `colour` (right 0: nowhere).
RECT PrintedBoxOf(PrintJobWatcher& jobs, uint32_t colour) {
    const RenderedPage page = RenderNextJob(jobs, 100);
    EXPECT_EQ(page.pages, 1);
    return page.BoxOf(colour, kPrinted);
}

TEST(PrinterList, NamesTheSpoolersQueuesWithoutDriverOrPortAndPortListsOneEntryEach) {
    TPrinter printer;
    const auto& list = printer.PrinterList();
    ASSERT_FALSE(list.empty());
    bool found = false;
    for (const auto& entry : list) {
        EXPECT_EQ(entry.first, entry.second->DeviceName);
        EXPECT_EQ(entry.second->DriverName, "");
        EXPECT_EQ(entry.second->PortName, "");
        found |= entry.first == kQueue;
    }
    EXPECT_TRUE(found);

    // A port list gives one entry per port.
    std::vector<TPrinter::TPrinterEntry> ports;
    AppendPortEntries(ports, "P", "LPT1:,FILE:");
    AppendPortEntries(ports, "Q", "");  // no ports: no entry
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].first, "P. LPT1:");
    EXPECT_EQ(ports[1].first, "P. FILE:");
    EXPECT_EQ(ports[1].second->DeviceName, "P");
    EXPECT_EQ(ports[1].second->PortName, "FILE:");
    EXPECT_EQ(ports[1].second->DriverName, "");
}

TEST(PrinterDefault, SelectsTheDefaultQueueWithTheDriversSettings) {
    TPrinter printer;
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::NoContext);
    const int index = printer.SelectedPrinter();
    ASSERT_GE(index, 0);
    EXPECT_EQ(printer.PrinterList()[index].second->DeviceName, kQueue);
    ASSERT_NE(printer.DeviceMode(), nullptr);
    EXPECT_EQ(printer.DeviceMode()->dmCopies, 1);
    EXPECT_TRUE(printer.DeviceMode()->dmFields & DM_ORIENTATION);

    char device[1024], driver[1024], port[1024];
    HGLOBAL settings = nullptr;
    printer.GetCurrentDevice(device, driver, port, sizeof device, settings);
    EXPECT_STREQ(device, kQueue);
    EXPECT_STREQ(driver, "");
    EXPECT_EQ(settings, printer.DeviceModeHandle());
    EXPECT_EQ(GlobalLock(settings), printer.DeviceMode());
    GlobalUnlock(settings);
}

TEST(PrinterDefault, ProfileNameMatchesWithoutRegardToCaseAnUnknownOneFailsEveryFirstUse) {
    {
        ProfileDefaultPrinter setting("  tetrafol_pdf,winspool,CUPS:Tetrafol_PDF");
        TPrinter printer;
        EXPECT_EQ(printer.PrinterList()[printer.SelectedPrinter()].second->DeviceName, kQueue);
    }
    ProfileDefaultPrinter setting("No Such Printer,winspool,LPT1:");
    const std::string none = "デフォルト プリンタが存在しません";
    TPrinter printer;
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SelectedPrinter(); }), none);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetCopyCount(1); }), none);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.PrintableWidth(); }), none);
    EXPECT_EQ(printer.DeviceMode(), nullptr);
}

TEST(PrinterSettings, CopyCountAndOrientationLiveInTheDeviceSettings) {
    TPrinter printer;
    printer.SetCopyCount(3);
    EXPECT_EQ(printer.CopyCount(), 3);
    EXPECT_EQ(printer.DeviceMode()->dmCopies, 3);

    printer.SetPageOrientation(TPrinterOrientation::poPortrait);
    const int portraitWidth = printer.PrintableWidth(), portraitHeight = printer.PrintableHeight();
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::InfoContext);
    EXPECT_LT(portraitWidth, portraitHeight);

    // A change of setting drops the context; the next one is made from the new settings.
    printer.SetPageOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::NoContext);
    EXPECT_EQ(printer.DeviceMode()->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(printer.PrintableWidth(), portraitHeight);
    EXPECT_EQ(printer.PrintableHeight(), portraitWidth);
}

TEST(PrinterSelect, KnownDeviceTakesTheNewPortUnknownDeviceIsAppended) {
    TPrinter printer;
    const size_t count = printer.PrinterList().size();
    printer.SelectPrinter(kQueue, "", "FILE:", nullptr);
    EXPECT_EQ(printer.PrinterList().size(), count);
    const TPrinterDevice& known = *printer.PrinterList()[printer.SelectedPrinter()].second;
    EXPECT_EQ(known.DeviceName, kQueue);
    EXPECT_EQ(known.PortName, "FILE:");
    ASSERT_NE(printer.DeviceMode(), nullptr);  // the driver's defaults, fetched on opening

    // With its port now set, the entry matches only that port.
    printer.SelectPrinter("No Such Printer", "drv", "LPT9:", nullptr);
    ASSERT_EQ(printer.PrinterList().size(), count + 1);
    const auto& added = printer.PrinterList().back();
    EXPECT_EQ(printer.SelectedPrinter(), static_cast<int>(count));
    EXPECT_EQ(added.first, "No Such Printer. LPT9:");
    EXPECT_EQ(added.second->DriverName, "drv");
    EXPECT_EQ(added.second->PortName, "LPT9:");

    // The spooler cannot open it: no device settings, and no context either.
    EXPECT_EQ(printer.DeviceMode(), nullptr);
    const std::string unsupported = "選択されたプリンタではサポートされていない機能です";
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.CopyCount(); }), unsupported);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetCopyCount(2); }), unsupported);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetPageOrientation(TPrinterOrientation::poLandscape); }),
              unsupported);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.PrintableWidth(); }), "選択したプリンタは有効ではありません");
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::NoContext);
    EXPECT_EQ(printer.DeviceContext(), nullptr);

    char device[1024], driver[1024], port[1024];
    HGLOBAL settings = reinterpret_cast<HGLOBAL>(1);
    printer.GetCurrentDevice(device, driver, port, sizeof device, settings);
    EXPECT_STREQ(device, "No Such Printer");
    EXPECT_STREQ(driver, "drv");
    EXPECT_STREQ(port, "LPT9:");
    EXPECT_EQ(settings, nullptr);
}

TEST(PrinterSelect, TakesOverTheGivenSettingsBlock) {
    TPrinter printer;
    printer.SelectedPrinter();
    const SIZE_T size = GlobalSize(printer.DeviceModeHandle());
    HGLOBAL own = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* copy = static_cast<DEVMODEA*>(GlobalLock(own));
    memcpy(copy, printer.DeviceMode(), size);
    copy->dmCopies = 7;
    GlobalUnlock(own);
    printer.SelectPrinter(kQueue, "", "", own);
    EXPECT_EQ(printer.DeviceModeHandle(), own);
    EXPECT_EQ(printer.CopyCount(), 7);
}

TEST(PrinterJob, StateRulesAndTheirMessages) {
    TPrinter printer;
    const std::string notPrinting = "プリンタに印刷できる状態ではありません";
    const std::string printing = "現在印刷中です";

    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.FinishJob(); }), notPrinting);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.Canvas().FillRect(Rect(0, 0, 10, 10)); }), notPrinting);

    // An information context first; the job replaces it with a device context.
    const int width = printer.PrintableWidth();
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::InfoContext);
    PrintJobWatcher jobs;
    printer.StartJob();
    EXPECT_TRUE(printer.IsPrinting());
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::DrawingContext);
    EXPECT_EQ(printer.PrintableWidth(), width);
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::DrawingContext);
    EXPECT_EQ(printer.Canvas().Handle(), printer.DeviceContext());

    HDC jobContext = printer.DeviceContext();
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.StartJob(); }), printing);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetCopyCount(2); }), printing);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetPageOrientation(TPrinterOrientation::poPortrait); }),
              printing);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SelectPrinter(kQueue, "", "", nullptr); }), printing);
    EXPECT_EQ(MessageOf<EPrinter>([&] { printer.SetContextState(TPrinter::TContextState::NoContext); }),
              printing);
    // The failed calls left the open job alone.
    EXPECT_TRUE(printer.IsPrinting());
    EXPECT_EQ(printer.DeviceContext(), jobContext);
    EXPECT_EQ(printer.DeviceMode()->dmCopies, 1);

    printer.FinishJob();
    EXPECT_FALSE(printer.IsPrinting());
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::DrawingContext);
    EXPECT_NE(jobs.WaitForNewJob(), "");
}

TEST(PrinterJob, PrintsWhatWasDrawnOnOneLandscapePage) {
    TPrinter printer;
    printer.SetPageOrientation(TPrinterOrientation::poLandscape);
    PrintJobWatcher jobs;
    printer.StartJob();
    ASSERT_EQ(printer.PrintableWidth(), kSheetWidth);  // the rig's A4 landscape at 300 dpi
    ASSERT_EQ(printer.PrintableHeight(), kSheetHeight);
    HDC dc = printer.Canvas().Handle();
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX) + GetDeviceCaps(dc, PHYSICALOFFSETY), 0) << "drawn from the sheet's corner";
    FillWith(dc, RECT{300, 200, 900, 600}, RGB(255, 0, 0));
    FillWith(dc, RECT{3008, 2079, 3408, 2379}, RGB(0, 0, 255));  // 500 and 400 in from the far corner
    printer.FinishJob();

    const RenderedPage page = RenderNextJob(jobs, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));
    ExpectBoxNear(page.BoxOf(0xFF0000, kPrinted), {300, 200, 900, 600});
    ExpectBoxNear(page.BoxOf(0x0000FF, kPrinted), {3008, 2079, 3408, 2379});
}

TEST(PrinterJob, AbandonedJobPrintsNothingAndThePrinterIsIdleAgain) {
    TPrinter printer;
    PrintJobWatcher jobs;
    printer.StartJob();
    FillWith(printer.Canvas().Handle(), RECT{100, 100, 400, 400}, RGB(255, 0, 0));
    printer.AbandonJob();
    EXPECT_FALSE(printer.IsPrinting());
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::NoContext);
    EXPECT_EQ(jobs.CountNewJobs(), 0u);

    printer.StartJob();
    printer.FinishJob();
    EXPECT_EQ(PrintedBoxOf(jobs, 0xFF0000).right, 0);  // the abandoned drawing went nowhere
}

// A page the spooler cannot deliver is reported, not passed off as printed; the
// printer is idle afterwards and prints again once the output is good.
TEST(PrinterJob, SpoolerFailureAtTheEndIsReported) {
    TPrinter printer;
    printer.SelectPrinter(kQueue, "", "Z:\\no\\such\\directory\\sheet.prn", nullptr);
    PrintJobWatcher jobs;
    printer.StartJob();
    const std::string message = MessageOf<EOSError>([&] { printer.FinishJob(); });
    EXPECT_EQ(message.rfind("システムエラー。コード：", 0), 0u) << message;
    EXPECT_FALSE(printer.IsPrinting());

    printer.SelectPrinter(kQueue, "", "CUPS:Tetrafol_PDF", nullptr);
    printer.StartJob();
    printer.FinishJob();
    EXPECT_NE(jobs.WaitForNewJob(), "");
}

// A job that fails to start leaves no used context behind: the next job gets a fresh one.
// The context a finished job keeps is made unusable here by a document left open on it
// (Wine's StartPage does not fail once the document has started; both failures of the
// start end the same way).
TEST(PrinterJob, AFailedStartLeavesNoUsedContextBehind) {
    TPrinter printer;
    PrintJobWatcher jobs;
    printer.StartJob();
    printer.FinishJob();
    ASSERT_NE(jobs.WaitForNewJob(), "");
    ASSERT_EQ(printer.ContextState(), TPrinter::TContextState::DrawingContext);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "";
    ASSERT_GT(StartDocA(printer.DeviceContext(), &info), 0);

    const std::string message = MessageOf<EOSError>([&] { printer.StartJob(); });
    EXPECT_EQ(message.rfind("システムエラー。コード：", 0), 0u) << message;
    EXPECT_FALSE(printer.IsPrinting());
    EXPECT_EQ(printer.ContextState(), TPrinter::TContextState::NoContext);

    printer.StartJob();
    FillWith(printer.Canvas().Handle(), RECT{100, 100, 400, 400}, RGB(255, 0, 0));
    printer.FinishJob();
    EXPECT_NE(PrintedBoxOf(jobs, 0xFF0000).right, 0);
}

TEST(PrinterJob, DestroyingThePrinterFinishesAnOpenJob) {
    PrintJobWatcher jobs;
    {
        TPrinter printer;
        printer.StartJob();
        FillWith(printer.Canvas().Handle(), RECT{100, 100, 400, 400}, RGB(0, 160, 0));
    }
    EXPECT_NE(PrintedBoxOf(jobs, 0x00A000).right, 0);
}

TEST(PrinterCanvas, FontHeightFollowsThePrintersResolution) {
    TPrinter printer;
    TFont& font = printer.Canvas().Font();
    font.Height = -16;  // 12 points on a 96 dpi screen
    printer.StartJob();
    const int ppi = GetDeviceCaps(printer.DeviceContext(), LOGPIXELSY);
    ASSERT_EQ(ppi, 300);
    EXPECT_EQ(font.Height, -50);  // still 12 points
    printer.AbandonJob();
}

TEST(SpoolerErrors, SystemErrorTextAndListItems) {
    EXPECT_EQ(MessageOf<EOSError>([] { RaiseOSError(0); }), "OS 機能呼び出しの失敗");
    const std::string denied = MessageOf<EOSError>([] { RaiseOSError(ERROR_ACCESS_DENIED); });
    EXPECT_EQ(denied.rfind("システムエラー。コード：5.\r\n", 0), 0u) << denied;
    EXPECT_GT(denied.size(), std::string("システムエラー。コード：5.\r\n").size());

    const std::string ports = "  LPT1:, FILE: ,,COM1:";
    size_t pos = 0;
    EXPECT_EQ(NextListItem(ports, pos), "LPT1:");
    EXPECT_EQ(NextListItem(ports, pos), "FILE: ");
    EXPECT_EQ(NextListItem(ports, pos), "");
    EXPECT_EQ(NextListItem(ports, pos), "COM1:");
    EXPECT_EQ(NextListItem(ports, pos), "");
}

// While GDI spools the job it calls the abort procedure (Wine does so when the document
// starts), which dispatches the program's pending messages: the windows stay live.
TEST(PrinterJob, SpoolingDispatchesPendingMessages) {
    static int delivered = 0;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_APP + 7) ++delivered;
        return DefWindowProcA(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PrinterJobProbe";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "PrinterJobProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    TPrinter printer;
    delivered = 0;
    PostMessageA(window, WM_APP + 7, 0, 0);
    printer.StartJob();
    EXPECT_EQ(delivered, 1);
    printer.AbandonJob();

    // The framework's own process-messages step is used when it installs one.
    static int pumped = 0;
    SetPrintingMessagePump([] { ++pumped; });
    PostMessageA(window, WM_APP + 7, 0, 0);
    printer.StartJob();
    printer.AbandonJob();
    SetPrintingMessagePump(nullptr);
    EXPECT_GT(pumped, 0);
    EXPECT_EQ(delivered, 1);
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(delivered, 2);
    DestroyWindow(window);
}

}  // namespace
