// Not a test: the timing half of the start-up line of make bench. Disabled, so ctest never
// runs it. Starts Tetrafol and, for reference, Wine's own notepad by turns, and reports
// the median seconds from the process start to the main window on the screen, painted
// and waiting for input. Both count as started by the same criterion, polled at the same
// step: the window's client area, read off the screen, shows what its first paint puts
// there.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "support/UiDriver.h"

namespace {

// Seconds until a visible window of the class has been painted and the program waits
// for input (its first paint comes before it is idle: painting is what a program does
// when nothing else is queued). `painted` checks the screen too, where the program's
// own look is known.
template <class Painted>
double TimeToFirstPaint(const std::string& exe, const char* windowClass, Painted painted) {
    const double start = Seconds();
    AppProcess app(SW_SHOWNORMAL, exe);
    HWND window = app.WaitForWindow(windowClass, nullptr, 30000);
    if (!window) return -1;
    WaitForInputIdle(app.ProcessHandle(), 30000);
    if (!WaitUntil([&] { return painted(window); }, 30000)) return -1;
    const double seconds = Seconds() - start;
    PostMessageA(window, WM_CLOSE, 0, 0);
    app.WaitForExit(10000);
    return seconds;
}

TEST(StartupBenchmark, DISABLED_StartToFirstPaint) {
    const char* exe = std::getenv("TETRAFOL_EXE");
    ASSERT_NE(exe, nullptr);
    // The first slot's placeholder: a white box with black text at the layout's place.
    auto tetrafolPainted = [](HWND window) {
        if (!IsWindowVisible(window)) return false;
        const Pixels client = CaptureClient(window);
        return client.width >= 176 && client.height >= 136 && client.At(20, 20) == 0xFFFFFF &&
               client.Count(RECT{16, 16, 176, 136}, [](uint32_t px) { return (px & 0xFF) < 0x40; }) > 0;
    };
    // Notepad, by the same measure: its edit area white, and dark text ("1 行, 1 列") in the
    // status bar along the client's bottom (its scroll bar takes the right-hand edge).
    auto notepadPainted = [](HWND window) {
        if (!IsWindowVisible(window)) return false;
        const Pixels client = CaptureClient(window);
        if (client.width < 100 || client.height < 100) return false;
        if (client.Count(RECT{8, 8, client.width - 30, client.height - 30}, [](uint32_t px) { return px != 0xFFFFFF; }))
            return false;
        const RECT status{0, client.height - 20, client.width / 2, client.height};
        return client.Count(status, [](uint32_t px) { return (px & 0xFF) < 0x40; }) > 0;
    };
    std::vector<double> tetrafol, notepad;
    for (int round = 0; round < 6; ++round) {
        const double t = TimeToFirstPaint(exe, "TForm1", tetrafolPainted);
        const double n = TimeToFirstPaint("C:\\windows\\system32\\notepad.exe", "Notepad", notepadPainted);
        ASSERT_GT(t, 0) << "Tetrafol's window did not appear painted";
        ASSERT_GT(n, 0) << "notepad's window did not appear painted";
        if (round == 0) continue;  // the first round loads the files into the cache
        tetrafol.push_back(t);
        notepad.push_back(n);
    }
    std::printf("startup_tetrafol_seconds=%.3f\nstartup_notepad_seconds=%.3f\nstartup_rounds=%zu\n", Median(tetrafol),
                Median(notepad), tetrafol.size());
    std::fflush(stdout);
}

}  // namespace
