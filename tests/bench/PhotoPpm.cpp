// Not a test: writes a photo-like picture of the size asked as a binary PPM to stdout, row by
// row (a 12000 x 9000 picture never exists whole), for cjpeg to make the benchmarks' big
// JPEG photos from: smooth light and shapes with sensor grain, which JPEG compresses about
// as it does a phone's photo. Built natively by scripts/bench-photos.sh.
//   photo-ppm WIDTH HEIGHT SEED
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    const int width = argc == 4 ? std::atoi(argv[1]) : 0, height = argc == 4 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) return 2;
    uint32_t seed = uint32_t(std::atoi(argv[3])) * 2654435761u + 1;
    std::printf("P6\n%d %d\n255\n", width, height);
    std::vector<unsigned char> row(size_t(width) * 3);
    const double phase = (seed % 1000) / 159.0;
    for (int y = 0; y < height; ++y) {
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            // Sky to ground, a few soft shapes, and edges every few hundred pixels.
            const double shape = std::sin(7 * u + phase) * std::cos(5 * v - phase) + 0.5 * std::sin(31 * u * v + phase);
            const double edge = ((x / 397 + y / 311) % 5 == 0) ? 40 : 0;
            seed = seed * 1103515245u + 12345u;
            const int grain = int((seed >> 16) % 13) - 6;
            const double base[3] = {90 + 110 * v + 30 * shape, 120 + 60 * u - 20 * shape, 200 - 130 * v + 25 * shape};
            for (int c = 0; c < 3; ++c)
                row[size_t(x) * 3 + c] = uint8_t(std::clamp(int(base[c] + edge * (c == 1 ? -1 : 1)) + grain, 0, 255));
        }
        if (std::fwrite(row.data(), 1, row.size(), stdout) != row.size()) return 1;
    }
    return 0;
}
