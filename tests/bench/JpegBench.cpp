// Benchmark, not a test: decoding a 6000 x 4000 JPEG through the program's own path (load,
// then the first draw's decode into the picture's bitmap), for run-in-wine.sh jpeg_bench to set
// beside the same library alone in this process and beside libjpeg-turbo's djpeg, each
// with the same settings.
//   jpeg_bench write FILE           writes the photo-like test picture
//   jpeg_bench decode FILE 24|8 N   prints the median of N decodes in milliseconds
//   jpeg_bench library FILE 24|8 N  the same for the library alone: the file's bytes in
//                                   memory, the program's decode settings, rows into
//                                   freshly committed memory of the bitmap's size
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
#include <jpeglib.h>

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

// The library alone, driven as the program drives it (JpegCodec): 1/1 scale, block
// smoothing, the float DCT, rows in blue, green, red order, 236 colours at 8 bits; the
// rows go into memory committed for this decode, as the program's bitmap is.
double LibraryDecodeSeconds(const std::vector<uint8_t>& file, bool eightBit) {
    const double t0 = Seconds();
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&d, TRUE);
    d.scale_num = d.scale_denom = 1;
    d.do_block_smoothing = TRUE;
    d.dct_method = JDCT_FLOAT;
    d.out_color_space = JCS_EXT_BGR;
    if (eightBit) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = 236;
    }
    jpeg_start_decompress(&d);
    const size_t stride = (size_t(d.output_width) * d.output_components + 3) & ~size_t(3);
    auto* pixels = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, stride * d.output_height, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = pixels + stride * d.output_scanline;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    const double seconds = Seconds() - t0;
    jpeg_destroy_decompress(&d);
    VirtualFree(pixels, 0, MEM_RELEASE);
    return seconds;
}

// The program's own path: load, then the first draw's decode; -1 when the size is wrong.
double ProgramDecodeSeconds(TMemoryStream& file, bool eightBit) {
    file.SetPosition(0);
    const double t0 = Seconds();
    TJPEGImage image;
    image.SetOutputDepth(eightBit ? TJPEGPixelFormat::Depth8 : TJPEGPixelFormat::Depth24);
    image.ReadFromStream(file);
    TBitmap* bitmap = image.DecodeToBitmap();
    const double seconds = Seconds() - t0;  // freeing the picture is not part of decoding it
    if (bitmap->Width() == 6000 && bitmap->Height() == 4000) return seconds;
    std::printf("decoded %d x %d\n", bitmap->Width(), bitmap->Height());
    return -1;
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
    const bool decode = argc == 5 && std::strcmp(argv[1], "decode") == 0;
    if (decode || (argc == 5 && std::strcmp(argv[1], "library") == 0)) {
        const bool eightBit = std::atoi(argv[3]) == 8;
        const int rounds = std::max(1, std::atoi(argv[4]));
        TMemoryStream stream;
        stream.LoadFromFile(argv[2]);
        const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
        const std::vector<uint8_t> file(bytes, bytes + stream.Size());
        std::vector<double> times;
        for (int i = 0; i < rounds + 1; ++i) {
            const double t = decode ? ProgramDecodeSeconds(stream, eightBit) : LibraryDecodeSeconds(file, eightBit);
            if (t < 0) return 1;
            if (i > 0) times.push_back(t);  // the first round warms up
        }
        std::printf("%.1f\n", Median(times) * 1000);
        return 0;
    }
    std::fprintf(stderr, "usage: %s write FILE | decode FILE 24|8 ROUNDS | library FILE 24|8 ROUNDS\n", argv[0]);
    return 2;
}
