// Benchmark, not a test: decoding a 6000 x 4000 JPEG through the program's own path (load,
// then the first draw's decode into the picture's bitmap), for run-jpeg-bench.sh to set
// beside libjpeg-turbo's djpeg with the same settings.
//   jpeg_bench write FILE          writes the photo-like test picture
//   jpeg_bench decode FILE 24|8 N  prints the median of N decodes in milliseconds
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "bench/BenchClock.h"
#include "graphics/jpeg/JPEGImage.h"
#include "rtl/Streams.h"
#include "graphics/jpeg/JpegSamples.h"

namespace {

// Smooth gradients with fine noise, compressed at quality 90 like a camera's photo.
std::vector<uint8_t> PhotoLike(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    uint32_t seed = 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int noise = int(seed >> 28) - 8;
            uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            p[0] = uint8_t(std::clamp(x * 255 / width + noise, 0, 255));
            p[1] = uint8_t(std::clamp(y * 255 / height + noise, 0, 255));
            p[2] = uint8_t(std::clamp(128 + ((x / 40 + y / 40) % 2) * 60 - 30 + noise, 0, 255));
        }
    return rgb;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
        const int width = 6000, height = 4000;
        std::vector<uint8_t> rgb = PhotoLike(width, height);
        jpegsamples::Recipe recipe{"photo", width, height};
        recipe.quality = 90;
        recipe.rgb = rgb.data();
        jpegsamples::Bytes file = jpegsamples::Make(recipe);
        TFileStream out(argv[2], fmCreate);
        out.WriteBuffer(file.data(), int32_t(file.size()));
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "decode") == 0) {
        const bool eightBit = std::atoi(argv[3]) == 8;
        const int rounds = std::max(1, std::atoi(argv[4]));
        TMemoryStream file;
        file.LoadFromFile(argv[2]);
        std::vector<double> times;
        for (int i = 0; i < rounds + 1; ++i) {
            file.SetPosition(0);
            double t0 = Seconds(), t1;
            {
                TJPEGImage image;
                image.SetOutputDepth(eightBit ? TJPEGPixelFormat::Depth8 : TJPEGPixelFormat::Depth24);
                image.ReadFromStream(file);
                TBitmap* bitmap = image.DecodeToBitmap();
                t1 = Seconds();  // freeing the picture is not part of decoding it
                if (bitmap->Width() != 6000 || bitmap->Height() != 4000) {
                    std::printf("decoded %d x %d\n", bitmap->Width(), bitmap->Height());
                    return 1;
                }
            }
            if (i > 0) times.push_back(t1 - t0);  // the first round warms up
        }
        std::sort(times.begin(), times.end());
        std::printf("%.1f\n", times[times.size() / 2] * 1000);
        return 0;
    }
    std::fprintf(stderr, "usage: %s write FILE | decode FILE 24|8 ROUNDS\n", argv[0]);
    return 2;
}
