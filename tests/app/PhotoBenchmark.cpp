// Not tests: the halves of scripts/bench-photos.sh, disabled so ctest never runs them. Each
// runs the program as drawn today (TETRAFOL_EXE) beside the same program built to decode every
// JPEG picture whole when it is drawn (TETRAFOL_WHOLE_EXE), in one run:
// - SelectAndLoad: for each photo in TETRAFOL_BENCH_PHOTOS (Linux paths, ":" between), a
//   click on the file in the picture-open dialog until its preview is painted, then OK until
//   the slot shows it; three rounds, the two programs in turn, medians.
// - FourPhotosMemory: the four photos of TETRAFOL_BENCH_PHOTOS in the four slots: the
//   program's resident memory over its empty window, and the highest it reaches while the
//   sheet prints; and how far the printed cell of the first photo is from the whole decode's.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>
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

std::vector<std::string> BenchPhotos() {
    std::vector<std::string> photos;
    const char* list = std::getenv("TETRAFOL_BENCH_PHOTOS");
    std::stringstream parts(list ? list : "");
    for (std::string item; std::getline(parts, item, ':');)
        if (!item.empty()) photos.push_back(item);
    return photos;
}

std::string Exe(bool whole) {
    const char* path = std::getenv(whole ? "TETRAFOL_WHOLE_EXE" : "TETRAFOL_EXE");
    return path ? path : "";
}

double ResidentMegabytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize / 1048576.0 : -1;
}

// Seconds from a click on the photo in the dialog's list to its painted preview, and from
// OK to the slot showing it.
bool SelectAndLoad(AppProcess& app, const std::string& photo, double& select, double& load) {
    HWND main = app.MainWindow();
    ClickClient(main, kSlotCentre[0].x, kSlotCentre[0].y);
    HWND dialog = app.WaitForDialog(nullptr);
    if (!dialog) return false;
    // The photo's folder, which holds it alone, typed into the name box.
    const std::string folder = WindowsPathOf(photo.substr(0, photo.rfind('/')));
    if (!AppProcess::AnswerOpenDialog(dialog, folder)) return false;
    HWND paint = FindChild(dialog, "TSilentPaintPanel");
    auto list = [&] { return FindChild(dialog, "SysListView32"); };
    if (!WaitUntil([&] { return list() && SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000)) return false;
    const RECT r = ScreenRectOf(list());
    const double clicked = Seconds();
    ClickScreen(r.left + 40, r.top + 10);
    if (!WaitUntil([&] { return SendMessageA(list(), LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 0; }, 60000)) return false;
    if (!paint || !Settle(paint, 120000)) return false;
    select = Seconds() - clicked;
    const double confirmed = Seconds();
    PressButton(dialog, IDOK);
    if (!app.Finished(dialog, 120000)) return false;
    load = Seconds() - confirmed;
    return true;
}

}  // namespace

TEST(PhotoBenchmark, DISABLED_SelectAndLoad) {
    const std::vector<std::string> photos = BenchPhotos();
    ASSERT_FALSE(photos.empty());
    for (const std::string& photo : photos) {
        std::vector<double> select[2], load[2];
        for (int round = 0; round < 3; ++round)
            for (int whole : {0, 1}) {
                AppProcess app(SW_SHOWNORMAL, Exe(whole));
                ASSERT_NE(app.Ready(), nullptr);
                double s = 0, l = 0;
                ASSERT_TRUE(SelectAndLoad(app, photo, s, l)) << photo;
                select[whole].push_back(s);
                load[whole].push_back(l);
            }
        std::printf("photo %s: select to preview %.3f s, whole decode %.3f s; OK to slot %.3f s, whole decode %.3f s\n",
                    photo.substr(photo.rfind('/') + 1).c_str(), Median(select[0]), Median(select[1]), Median(load[0]),
                    Median(load[1]));
    }
}

TEST(PhotoBenchmark, DISABLED_FourPhotosMemory) {
    const std::vector<std::string> photos = BenchPhotos();
    ASSERT_EQ(photos.size(), 4u);
    for (int whole : {0, 1}) {
        AppProcess app(SW_SHOWNORMAL, Exe(whole));
        HWND main = app.Ready();
        ASSERT_NE(main, nullptr);
        Sleep(500);
        const double empty = ResidentMegabytes(app.ProcessHandle());
        for (int slot = 0; slot < 4; ++slot) ASSERT_TRUE(app.LoadSlot(slot, WindowsPathOf(photos[slot])));
        Sleep(500);
        const double filled = ResidentMegabytes(app.ProcessHandle());
        // The highest reading while the sheet prints, every few milliseconds.
        std::atomic<bool> printing{true};
        double peak = filled;
        std::thread watch([&] {
            while (printing) {
                peak = std::max(peak, ResidentMegabytes(app.ProcessHandle()));
                Sleep(2);
            }
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
    const Pixels pa = a.Read(), pb = b.Read();
    double sum = 0;
    int most = 0;
    for (size_t i = 0; i < pa.rgb.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int d = std::abs(int((pa.rgb[i] >> shift) & 255) - int((pb.rgb[i] >> shift) & 255));
            sum += d;
            most = std::max(most, d);
        }
    std::printf("printed cell %d x %d: decoded at %d/8 then reduced, against the whole decode reduced: mean absolute "
                "difference %.3f per channel (of 255), largest %d\n",
                rect.Width(), rect.Height(), scaled.KeptEighths(), sum / (3.0 * pa.rgb.size()), most);
}
