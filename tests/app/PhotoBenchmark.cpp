// Not tests: the halves of scripts/bench-photos.sh, disabled so ctest never runs them. Each
// runs the program as drawn today (TETRAFOL_EXE) beside the same program built to decode every
// JPEG picture whole when it is drawn (TETRAFOL_WHOLE_EXE), in one run, on the photos in
// TETRAFOL_BENCH_PHOTOS: SelectAndLoad times each in the picture-open dialog and into a slot;
// FourPhotosMemory reads the memory four of them take in the slots and while they print, and
// how far the printed cell of the first is from the whole decode's.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/FourUpSheetLayout.h"
#include "bench/BenchClock.h"
#include "graphics/ReducedPicture.h"
#include "graphics/jpeg/JPEGImage.h"
#include "printing/Printer.h"
#include "rtl/Streams.h"
#include "support/DibSurface.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/UiDriver.h"

namespace {

// The program built to decode JPEG pictures whole, or "": the one TETRAFOL_EXE names.
std::string Exe(bool whole) { const char* path = std::getenv("TETRAFOL_WHOLE_EXE"); return whole && path ? path : ""; }

double ResidentMegabytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize / 1048576.0 : -1;
}

// Seconds from a click on the photo in the dialog's list to its painted preview, and from
// OK to the slot showing it.
bool SelectAndLoad(AppProcess& app, const std::string& photo, std::vector<double>& select, std::vector<double>& load) {
    ClickClient(app.MainWindow(), kSlotCentre[0].x, kSlotCentre[0].y);
    HWND dialog = app.WaitForDialog(nullptr);
    // The photo's folder, which holds it alone, typed into the name box.
    if (!dialog || !AppProcess::AnswerOpenDialog(dialog, WindowsPathOf(photo.substr(0, photo.rfind('/')))))
        return false;
    HWND paint = FindChild(dialog, "TSilentPaintPanel");
    auto list = [&] { return FindChild(dialog, "SysListView32"); };
    if (!WaitUntil([&] { return list() && SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000)) return false;
    const RECT r = ScreenRectOf(list());
    const double clicked = Seconds();
    ClickScreen(r.left + 40, r.top + 10);
    if (!WaitUntil([&] { return SendMessageA(list(), LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 0; }, 60000)) return false;
    if (!paint || !Settle(paint, 120000)) return false;
    const double confirmed = Seconds();
    select.push_back(confirmed - clicked);
    PressButton(dialog, IDOK);
    if (!app.Finished(dialog, 120000)) return false;
    load.push_back(Seconds() - confirmed);
    return true;
}

}  // namespace

TEST(PhotoBenchmark, DISABLED_SelectAndLoad) {
    const std::vector<std::string> photos = PathsIn("TETRAFOL_BENCH_PHOTOS");
    ASSERT_FALSE(photos.empty());
    for (const std::string& photo : photos) {
        std::vector<double> select[2], load[2];
        for (int round = 0; round < 3; ++round)
            for (int whole : {0, 1}) {
                AppProcess app(SW_SHOWNORMAL, Exe(whole));
                ASSERT_NE(app.Ready(), nullptr);
                ASSERT_TRUE(SelectAndLoad(app, photo, select[whole], load[whole])) << photo;
            }
        std::printf("photo %s: select to preview %.3f s, whole decode %.3f s; OK to slot %.3f s, whole decode %.3f s\n",
                    photo.substr(photo.rfind('/') + 1).c_str(), Median(select[0]), Median(select[1]), Median(load[0]),
                    Median(load[1]));
    }
}

TEST(PhotoBenchmark, DISABLED_FourPhotosMemory) {
    const std::vector<std::string> photos = PathsIn("TETRAFOL_BENCH_PHOTOS");
    ASSERT_EQ(photos.size(), 4u);
    for (int whole : {0, 1}) {
        AppProcess app(SW_SHOWNORMAL, Exe(whole));
        ASSERT_NE(app.Ready(), nullptr);
        Sleep(500);
        const double empty = ResidentMegabytes(app.ProcessHandle());
        for (int slot = 0; slot < 4; ++slot) ASSERT_TRUE(app.LoadSlot(slot, WindowsPathOf(photos[slot])));
        Sleep(500);
        const double filled = ResidentMegabytes(app.ProcessHandle());
        // The highest reading while the sheet prints, every few milliseconds.
        std::atomic<bool> printing{true};
        double peak = filled;
        std::thread watch([&] {
            for (; printing; Sleep(2)) peak = std::max(peak, ResidentMegabytes(app.ProcessHandle()));
        });
        PrintJobWatcher jobs;
        const bool printed = app.Print(true) && !jobs.WaitForNewJob(600000).empty();
        printing = false;
        watch.join();
        ASSERT_TRUE(printed);
        std::printf("%s: empty window %.0f MB resident; four photos in the slots +%.0f MB; peak while printing +%.0f MB\n",
                    whole ? "whole decode" : "decoded at the drawn size", empty, filled - empty, peak - empty);
    }

    // The first photo's printed cell, reduced from the decode at the cell's scale and from
    // the whole decode: the pixels the printer gets.
    TPrinter& printer = *Printer();
    printer.SetPageOrientation(TPrinterOrientation::poLandscape);
    const TSheetCell cell = SheetCellSize(printer.PrintableWidth(), printer.PrintableHeight());
    TFileStream file(WindowsPathOf(photos[0]), fmOpenRead);
    TJPEGImage scaled, full;
    scaled.ReadFromStream(file);
    file.SetPosition(0);
    full.ReadFromStream(file);
    const TRect target = SheetTargetRect(0, cell, scaled.Width(), scaled.Height());
    const TRect rect{0, 0, target.Width(), target.Height()};
    DibSurface a(rect.Width(), rect.Height()), b(rect.Width(), rect.Height());
    StretchGraphicReduced(a.Canvas(), rect, &scaled);
    TJPEGImage::DecodeAtDrawnSize = false;
    StretchGraphicReduced(b.Canvas(), rect, &full);
    TJPEGImage::DecodeAtDrawnSize = true;
    const ChannelDifference d = DifferenceOf(a.Read(), b.Read());
    std::printf("printed cell %d x %d: decoded at %d/8 then reduced, against the whole decode reduced: mean absolute "
                "difference %.3f per channel (of 255), largest %d\n",
                rect.Width(), rect.Height(), scaled.KeptEighths(), d.mean, d.largest);
}
