// Not a test: the timing half of scripts/bench-print-sheet.sh. Disabled, so ctest never
// runs it; the script runs it alone. Loads the four pictures named in
// TETRAFOL_BENCH_PICTURES (Linux paths separated by ":") into the slots of the running
// program, clicks "印刷", confirms the print dialog and reports the seconds until the
// job file is complete.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/Form1Points.h"
#include "support/PrintedPages.h"
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
    for (int slot = 0; slot < 4; ++slot) {
        ASSERT_TRUE(app.ChooseFileFor(kSlotCentre[slot].x, kSlotCentre[slot].y, WindowsPathOf(pictures[slot])));
        // Loading a large picture takes a while: wait for the main window to take input again.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && !app.WaitForWindow("#32770", nullptr, 0); },
                              120000));
    }
    Sleep(1000);  // let the slots finish painting before the clock starts

    PrintJobWatcher jobs;
    LARGE_INTEGER clicked, confirmed, done;
    QueryPerformanceCounter(&clicked);
    ClickClient(main, kPrintButton.x, kPrintButton.y);
    HWND dialog = app.WaitForWindow("#32770", nullptr, 20000);
    ASSERT_NE(dialog, nullptr);
    // The dialog takes no input for a moment after it appears; that wait is the harness's.
    Sleep(500);
    QueryPerformanceCounter(&confirmed);
    PressButton(dialog, IDOK);
    const std::string job = jobs.WaitForNewJob(600000);
    QueryPerformanceCounter(&done);
    ASSERT_NE(job, "");

    std::printf("sheet_click_to_file_seconds=%.3f\n", Seconds(clicked, done));
    std::printf("sheet_confirm_to_file_seconds=%.3f\n", Seconds(confirmed, done));
    std::printf("sheet_job_file=%s\n", job.c_str());
    std::fflush(stdout);
}

}  // namespace
