// The print dialog against the system's PrintDlgA and the private spooler: what it hands
// in (flags, DEVNAMES, a copy of the settings) and what a confirmed or cancelled run
// leaves in the dialog and the printer object.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include "dialogs/PrintDialog.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "support/SystemDialogAnswerer.h"
#include "support/RaisedMessage.h"

namespace {

TEST(PrintDialogFlags, DefaultsAndEachOption) {
    TPrintDialog dialog;
    EXPECT_EQ(dialog.DialogFlags(), 0x10308Cu);

    dialog.Options = poPrintToFile | poPageNums | poSelection | poWarning;
    EXPECT_EQ(dialog.DialogFlags(), static_cast<DWORD>(PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK));
    dialog.Options = poHelp | poDisablePrintToFile;
    EXPECT_EQ(dialog.DialogFlags(), 0x10308Cu | PD_SHOWHELP | PD_DISABLEPRINTTOFILE);
    dialog.Options = 0;
    dialog.Collate = true;
    dialog.PrintToFile = true;
    dialog.PrintRange = prPageNums;
    EXPECT_EQ(dialog.DialogFlags(), 0x10308Cu | PD_COLLATE | PD_PRINTTOFILE | PD_PAGENUMS);
    dialog.PrintRange = prSelection;
    EXPECT_EQ(dialog.DialogFlags() & 3, static_cast<DWORD>(PD_SELECTION));
}

TEST(PrintDialogDevNames, OffsetsAndNamesInMovableMemory) {
    HGLOBAL handle = BuildDevNames("winspool", "Tetrafol_PDF", "LPT1:");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_DISCARDED, 0u);
    EXPECT_GE(GlobalSize(handle), 8u + 8 + 12 + 5 + 3);
    const auto* block = static_cast<const char*>(GlobalLock(handle));
    ASSERT_NE(block, nullptr);
    EXPECT_NE(static_cast<const void*>(block), static_cast<const void*>(handle));  // movable
    const auto* names = reinterpret_cast<const DEVNAMES*>(block);
    EXPECT_EQ(names->wDriverOffset, 8);
    EXPECT_EQ(names->wDeviceOffset, 8 + 9);
    EXPECT_EQ(names->wOutputOffset, 8 + 9 + 13);
    EXPECT_EQ(names->wDefault, 0);
    EXPECT_STREQ(block + names->wDriverOffset, "winspool");
    EXPECT_STREQ(block + names->wDeviceOffset, "Tetrafol_PDF");
    EXPECT_STREQ(block + names->wOutputOffset, "LPT1:");
    GlobalUnlock(handle);
    GlobalFree(handle);

    // Empty names still get their terminators.
    handle = BuildDevNames("", "P", "");
    names = static_cast<const DEVNAMES*>(GlobalLock(handle));
    EXPECT_EQ(names->wDeviceOffset, 9);
    EXPECT_EQ(names->wOutputOffset, 11);
    GlobalUnlock(handle);
    GlobalFree(handle);
}

TEST(PrintDialogRun, CopiesWriteThroughAndAConfirmedRunReadsThemBack) {
    TPrintDialog dialog;
    dialog.SetCopies(1);
    EXPECT_EQ(Printer()->CopyCount(), 1);
    HGLOBAL printerSettings = Printer()->DeviceModeHandle();

    // Runs the dialog with `copies` typed into it and `button` pressed; the copies it showed.
    RECT placed{};
    auto run = [&](const char* copies, int button, bool confirmed) {
        std::string shown;
        SystemDialogAnswerer answer([&](HWND window) {
            shown = ControlText(window, kCopiesEdit);
            GetWindowRect(window, &placed);
            SetControlText(window, kCopiesEdit, copies);
            PostMessageA(window, WM_COMMAND, button, 0);
        });
        EXPECT_EQ(dialog.RunModal(), confirmed);
        EXPECT_TRUE(answer.Answered());
        return shown;
    };
    EXPECT_EQ(run("3", IDOK, true), "1");
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(Printer()->CopyCount(), 3);
    EXPECT_FALSE(dialog.Collate);
    EXPECT_FALSE(dialog.PrintToFile);
    EXPECT_EQ(dialog.PrintRange, prAllPages);
    // The printer took the dialog's settings block, not its old one.
    EXPECT_NE(Printer()->DeviceModeHandle(), printerSettings);
    EXPECT_NE(Printer()->DeviceModeHandle(), nullptr);

    // Centred across the first monitor, a third of the free height above it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcMonitor;
    EXPECT_EQ(placed.left, (area.right - area.left - (placed.right - placed.left)) / 2);
    EXPECT_EQ(placed.top, (area.bottom - area.top - (placed.bottom - placed.top)) / 3);

    // The next dialog starts from 3 copies; cancelling it changes nothing.
    HGLOBAL current = Printer()->DeviceModeHandle();
    EXPECT_EQ(run("5", IDCANCEL, false), "3");
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(Printer()->CopyCount(), 3);
    EXPECT_EQ(Printer()->DeviceModeHandle(), current);

    dialog.SetCopies(1);
}

TEST(PrintDialogRun, ConfirmingWhileAJobIsOpenFailsCancellingDoesNot) {
    TPrintDialog dialog;
    Printer()->StartJob();
    {
        SystemDialogAnswerer cancel([](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_FALSE(dialog.RunModal());
    }
    {
        SystemDialogAnswerer confirm([](HWND window) { PostMessageA(window, WM_COMMAND, IDOK, 0); });
        EXPECT_EQ(MessageOf<EPrinter>([&] { dialog.RunModal(); }), "現在印刷中です");
    }
    EXPECT_TRUE(Printer()->IsPrinting());
    Printer()->AbandonJob();
}

}  // namespace
