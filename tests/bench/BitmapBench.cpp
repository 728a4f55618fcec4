// Benchmark, not a test: loading a 24-bit 6000 x 4000 BMP file into a TBitmap, against
// reading the same file's bytes into freshly committed memory that nothing touched before
// (VirtualAlloc), as the load reads its pixels into a new section; measured alternately in
// one run. Prints the medians and their ratio (goal: within 1.2).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "bench/BenchClock.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/BmpSamples.h"
#include "rtl/Streams.h"

namespace {

void WriteBigBmp(const std::string& path, int width, int height) {
    const samples::Bytes bmp = samples::WriteBmp(samples::SolidPicture(width, height, {90, 160, 30}), {});
    TFileStream(path, fmCreate).WriteBuffer(bmp.data(), int32_t(bmp.size()));
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "tetrafol-bench-6000x4000.bmp";
    WriteBigBmp(path, 6000, 4000);

    std::vector<double> reads, loads;
    for (int i = 0; i < rounds + 1; ++i) {
        double t0 = Seconds();
        {
            TFileStream in(path, fmOpenRead | fmShareDenyWrite);
            const size_t size = static_cast<size_t>(in.Size());
            void* bytes = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
            if (!bytes) return 1;
            in.ReadBuffer(bytes, int32_t(size));
            VirtualFree(bytes, 0, MEM_RELEASE);
        }
        double t1 = Seconds();
        {
            TBitmap bitmap;
            bitmap.ReadFromFile(path);
            if (bitmap.Width() != 6000 || bitmap.Height() != 4000) {
                std::printf("loaded %d x %d, expected 6000 x 4000\n", bitmap.Width(), bitmap.Height());
                return 1;
            }
        }
        double t2 = Seconds();
        if (i == 0) continue;  // the first round warms the file cache
        reads.push_back(t1 - t0);
        loads.push_back(t2 - t1);
    }
    DeleteFileA(path.c_str());
    double read = Median(reads), load = Median(loads);
    std::printf("24-bit 6000 x 4000 BMP (72 MB), median of %d rounds:\n", rounds);
    std::printf("  read bytes into memory: %8.1f ms (freshly committed)\n", read * 1000);
    std::printf("  load into TBitmap:      %8.1f ms\n", load * 1000);
    std::printf("  ratio load / read:      %8.2f (goal <= 1.20)\n", load / read);
    return 0;
}
