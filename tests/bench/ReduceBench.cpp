// Benchmark, not a test: reducing a 6000 x 4000 picture of 32-bit pixels to 1604 x 1069 (its
// cell on a 300 dpi A4 sheet) with the program's area average, against stb_image_resize's
// box filter on the same pixels, alternately in one run. Prints the medians, their ratio and
// how far the two results lie apart.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "bench/BenchClock.h"
#include "graphics/bitmap/BoxReduce.h"

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STBIR_ASSERT(x) ((void)0)
#include <stb_image_resize.h>

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int sw = 6000, sh = 4000, dw = 1604, dh = 1069;
    std::vector<uint8_t> source(size_t(sw) * sh * 4);
    uint32_t seed = 12345;
    for (size_t i = 0; i < source.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        source[i] = uint8_t((i / 4 % sw) / 24 + (seed >> 24) / 4);  // a gradient with grain
    }
    std::vector<uint8_t> ours(size_t(dw) * dh * 4), theirs(ours.size());
    std::vector<double> ourTimes, theirTimes;
    for (int i = 0; i < rounds + 1; ++i) {
        double t0 = Seconds();
        {
            // In bands of 256 rows, as the program feeds it from GDI.
            box::Reducer reducer(sw, sh, dw, dh, ours.data(), size_t(dw) * 4);
            for (int y = 0; y < sh; y += 256)
                reducer.AddRows(source.data() + size_t(y) * sw * 4, ptrdiff_t(sw) * 4, uint32_t(std::min(256, sh - y)));
        }
        double t1 = Seconds();
        stbir_resize_uint8_generic(source.data(), sw, sh, sw * 4, theirs.data(), dw, dh, dw * 4, 4,
                                   STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_BOX,
                                   STBIR_COLORSPACE_LINEAR, nullptr);
        double t2 = Seconds();
        if (i == 0) continue;  // the first round touches the memory
        ourTimes.push_back(t1 - t0);
        theirTimes.push_back(t2 - t1);
    }
    int largest = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        if (i % 4 != 3) largest = std::max(largest, std::abs(int(ours[i]) - int(theirs[i])));
    const double a = Median(ourTimes), b = Median(theirTimes);
    std::printf("reduce 6000 x 4000 to 1604 x 1069, 32-bit pixels, median of %d rounds:\n", rounds);
    std::printf("  area average (BoxReduce):            %8.1f ms\n", a * 1000);
    std::printf("  stb_image_resize, box filter:        %8.1f ms\n", b * 1000);
    std::printf("  ratio area average / stb:            %8.2f\n", a / b);
    std::printf("  largest difference between the two:  %d of 255\n", largest);
    return 0;
}
