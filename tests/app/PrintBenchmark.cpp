// Not a test: the timing half of scripts/bench-print-sheet.sh. Disabled, so ctest never
// runs it; the script runs it alone. Loads the four pictures named in
// TETRAFOL_BENCH_PICTURES (Linux paths separated by ":") into the slots of the running
// program, clicks "印刷", confirms the print dialog and reports the seconds until the
// job file is complete, and how that time divides between the program's own code and the
// platform's (GDI, the printer driver, the spooler), by sampling the program's thread.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/ThreadSampler.h"
#include "support/UiDriver.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

TEST(PrintBenchmark, DISABLED_ClickToJobFile) {
    const char* list = std::getenv("TETRAFOL_BENCH_PICTURES");
    ASSERT_NE(list, nullptr) << "TETRAFOL_BENCH_PICTURES names the four pictures";
    std::vector<std::string> pictures;
    std::stringstream parts(list);
    for (std::string item; std::getline(parts, item, ':');)
        if (!item.empty()) pictures.push_back(item);
    ASSERT_EQ(pictures.size(), 4u);

    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    // The same sampling while the pictures load and first show (reading, decoding): a
    // check that the program's own code is seen where it runs.
    ThreadSampler loading(app.ProcessHandle(), app.MainThreadId());
    loading.Start();
    for (int slot = 0; slot < 4; ++slot) {
        ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[slot].x, kSlotCentre[slot].y, WindowsPathOf(pictures[slot])));
        // Loading a large picture takes a while: wait for the main window to take input again.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && !app.WaitForWindow("#32770", nullptr, 0); },
                              120000));
    }
    Sleep(1000);  // let the slots finish painting before the clock starts
    loading.Stop();

    PrintJobWatcher jobs;
    LARGE_INTEGER clicked, confirmed, done;
    QueryPerformanceCounter(&clicked);
    ClickClient(main, kPrintButton.x, kPrintButton.y);
    HWND dialog = app.WaitForWindow("#32770", nullptr, 20000);
    ASSERT_NE(dialog, nullptr);
    // The dialog takes no input for a moment after it appears; that wait is the harness's.
    Sleep(500);
    ThreadSampler sampler(app.ProcessHandle(), app.MainThreadId());
    sampler.Start();
    QueryPerformanceCounter(&confirmed);
    PressButton(dialog, IDOK);
    const std::string job = jobs.WaitForNewJob(600000);
    QueryPerformanceCounter(&done);
    sampler.Stop();
    ASSERT_NE(job, "");

    std::printf("sheet_click_to_file_seconds=%.3f\n", Seconds(clicked, done));
    std::printf("sheet_confirm_to_file_seconds=%.3f\n", Seconds(confirmed, done));
    std::printf("sheet_job_file=%s\n", job.c_str());
    // The program's own code: its executable (libjpeg and the C++ library are linked in)
    // and the C run-time library it calls for copying and allocating.
    const int total = sampler.Total();
    const int own = sampler.In({"Tetrafol.exe", "msvcrt.dll", "ucrtbase.dll"});
    std::printf("sheet_samples=%d\n", total);
    std::printf("loading_own_share=%.4f\n",
                loading.Total() ? double(loading.In({"Tetrafol.exe", "msvcrt.dll", "ucrtbase.dll"})) / loading.Total() : 0.0);
    std::printf("sheet_own_share=%.4f\n", total ? double(own) / total : 0.0);
    for (const auto& [module, count] : sampler.ByModule())
        if (count * 50 >= total) std::printf("sheet_module=%s %.1f%%\n", module.c_str(), 100.0 * count / total);
    std::fflush(stdout);
}

}  // namespace
