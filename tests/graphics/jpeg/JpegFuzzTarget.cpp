// libFuzzer entry: any byte string must decode, decode in part, or be refused with the
// library's error; both output depths and every scale, as the program drives the library.
#include <cstddef>
#include <cstdint>
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/jpeg/RowStore.h"

// Decoded pictures are capped here at 96 x 96 pixels, and by the fuzz build's pixel limit
// (native.cmake: 64 x 64 at 24 bits, so the decoder's own refusal is fuzzed as well), so
// that the time goes into the parser. At 8 bits most of a decode's time goes into the
// library's two-pass colour quantiser, which works per distinct colour met: one input in
// four whose picture is at most 32 x 32 takes that path.
constexpr uint64_t kMaxFuzzPixels = 96 * 96, kMaxEightBitPixels = 32 * 32;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint64_t pixels = 0;
    try {
        const jpeg::Header header = jpeg::ReadHeader(data, size);
        pixels = uint64_t(header.width) * header.height;
        if (pixels > kMaxFuzzPixels) return 0;
    } catch (const jpeg::Failure&) {
        return 0;
    }
    RowStore store;
    jpeg::DecodeOptions options;
    options.eightBit = pixels <= kMaxEightBitPixels && (data[size - 1] & 3) == 3;
    options.eighths = 1 + ((data[size - 1] >> 2) & 7);  // every scale the drawing asks for
    try {
        jpeg::Decode(data, size, options, store);
    } catch (const jpeg::Failure&) {
    }
    return 0;
}
