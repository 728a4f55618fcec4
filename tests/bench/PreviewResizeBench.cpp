// Benchmark, not a test: the preview window's repaint while the user drags its frame, for a
// 6000 x 4000 picture beside a 640 x 480 one. Each step of the drag, as the system's sizing
// loop sends it (WM_ENTERSIZEMOVE, a new size, a paint, ..., WM_EXITSIZEMOVE), is timed
// from the size change to the painted window; the repaint once the size settles is timed
// apart. Prints the medians and their ratio (goal: at most 3).
#include <windows.h>
#include <cstdio>
#include <memory>
#include <vector>
#include "bench/BenchClock.h"
#include "dialogs/OpenPictureDialog.h"
#include "display/Image.h"
#include "framework/Form.h"
#include "graphics/GraphicsModule.h"
#include "graphics/Picture.h"
#include "graphics/bitmap/Bitmap.h"

namespace {

struct Timing {
    double step = 0, settle = 0;
};

Timing ResizeThePreview(int width, int height, int steps) {
    TBitmap bitmap;
    bitmap.SetPixelDepth(TPixelFormat::pf24bit);
    bitmap.SetWidth(width);
    bitmap.SetHeight(height);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(bitmap.ScanLine(y));
        for (int x = 0; x < width * 3; ++x) row[x] = uint8_t(x * 7 + y);
    }
    TPicture picture;
    picture.SetGraphic(&bitmap);
    std::unique_ptr<TPreviewWindow> preview = MakePreviewWindow(picture, nullptr);
    HWND window = preview->Form->WindowHandle();
    preview->Form->Show(SW_SHOWNORMAL);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // the first paint makes the copy
    RECT outer;
    GetWindowRect(window, &outer);
    std::vector<double> times;
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    for (int i = 1; i <= steps; ++i) {
        const double t0 = Seconds();
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - 6 * i, outer.bottom - outer.top - 4 * i,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(Seconds() - t0);
    }
    const double t0 = Seconds();
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Timing timing;
    timing.settle = Seconds() - t0;
    timing.step = Median(times);
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 ? std::max(3, atoi(argv[1])) : 25;
    InitGraphicsModule();
    ResizeThePreview(640, 480, 3);  // warms up the window classes and fonts
    const Timing large = ResizeThePreview(6000, 4000, steps);
    const Timing small = ResizeThePreview(640, 480, steps);
    std::printf("preview window resized in %d steps, median repaint per step:\n", steps);
    std::printf("  6000 x 4000 picture: %8.2f ms (once settled: %.1f ms)\n", large.step * 1000, large.settle * 1000);
    std::printf("  640 x 480 picture:   %8.2f ms (once settled: %.1f ms)\n", small.step * 1000, small.settle * 1000);
    std::printf("  ratio 6000 x 4000 / 640 x 480: %.2f (goal <= 3)\n", large.step / small.step);
    return 0;
}
