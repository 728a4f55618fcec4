// Not a test: the timing half of scripts/bench-print-sheet.sh. Disabled, so ctest never
// runs it; the script runs it alone. Loads the four pictures named in
// TETRAFOL_BENCH_PICTURES (Linux paths separated by ":") into the slots of the running
// program; three times clicks "印刷", confirms the print dialog and measures the seconds
// until the job file is complete; reports the medians, the job's size, and how the time
// divides between the program's own code and the platform's (GDI, the printer driver, the
// spooler), by sampling the program's thread. Before and after loading it also times
// forced repaints of the main window, empty and with the four pictures.
#include <gtest/gtest.h>

#include <cstdio>

#include "bench/BenchClock.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/ThreadSampler.h"
#include "support/UiDriver.h"

namespace {

// Median milliseconds of ten repaints of the whole client area. UpdateWindow on another
// process's window sends it WM_PAINT and returns once that has been handled.
double RepaintMilliseconds(HWND window) {
    std::vector<double> times;
    for (int i = 0; i < 11; ++i) {
        InvalidateRect(window, nullptr, TRUE);
        const double t0 = Seconds();
        UpdateWindow(window);
        if (i > 0) times.push_back((Seconds() - t0) * 1000);  // the first touches the caches
    }
    return Median(times);
}

TEST(PrintBenchmark, DISABLED_ClickToJobFile) {
    const std::vector<std::string> pictures = PathsIn("TETRAFOL_BENCH_PICTURES");
    ASSERT_EQ(pictures.size(), 4u) << "TETRAFOL_BENCH_PICTURES names the four pictures";

    AppProcess app;
    HWND main = app.Ready();
    ASSERT_NE(main, nullptr);
    // The same sampling while the pictures load and first show (reading, decoding): a
    // check that the program's own code is seen where it runs.
    const double emptyRepaint = RepaintMilliseconds(main);
    ThreadSampler loading(app.ProcessHandle(), app.MainThreadId());
    loading.Start();
    for (int slot = 0; slot < 4; ++slot) {
        ASSERT_TRUE(app.LoadSlot(slot, WindowsPathOf(pictures[slot])));
        ASSERT_EQ(app.TakeErrorBox(0).text, "");
    }
    loading.Stop();
    const double fullRepaint = RepaintMilliseconds(main);

    std::vector<double> sheets, confirms;
    std::string job;
    ThreadSampler sampler(app.ProcessHandle(), app.MainThreadId());
    for (int run = 0; run < 3; ++run) {
        PrintJobWatcher jobs;
        const double clicked = Seconds();
        ClickClient(main, kPrintButton.x, kPrintButton.y);
        // The dialog takes no input for a moment after it appears; that wait is the harness's.
        HWND dialog = app.WaitForDialog(nullptr, 20000);
        ASSERT_NE(dialog, nullptr);
        sampler.Start();
        const double confirmed = Seconds();
        PressButton(dialog, IDOK);
        job = jobs.WaitForNewJob(600000);
        const double done = Seconds();
        sampler.Stop();
        ASSERT_NE(job, "");
        sheets.push_back(done - clicked);
        confirms.push_back(done - confirmed);
        ASSERT_TRUE(app.Finished(dialog, 60000));
    }

    std::printf("sheet_click_to_file_seconds=%.3f\nsheet_confirm_to_file_seconds=%.3f\nsheet_job_file=%s\n",
                Median(sheets), Median(confirms), job.c_str());
    std::printf("repaint_empty_ms=%.2f\nrepaint_full_ms=%.2f\n", emptyRepaint, fullRepaint);
    // The program's own code: its executable (libjpeg and the C++ library are linked in)
    // and the C run-time library it calls for copying and allocating.
    auto ownShare = [](const ThreadSampler& s) {
        return s.Total() ? double(s.In({"Tetrafol.exe", "msvcrt.dll", "ucrtbase.dll"})) / s.Total() : 0.0;
    };
    const int total = sampler.Total();
    std::printf("sheet_samples=%d\n", total);
    std::printf("loading_own_share=%.4f\nsheet_own_share=%.4f\n", ownShare(loading), ownShare(sampler));
    for (const auto& [module, count] : sampler.ByModule())
        if (count * 50 >= total) std::printf("sheet_module=%s %.1f%%\n", module.c_str(), 100.0 * count / total);
    std::fflush(stdout);
}

}  // namespace
