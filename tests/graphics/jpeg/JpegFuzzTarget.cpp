// libFuzzer entry: any byte string must decode, decode in part, or be refused with the
// library's error; both output depths, as the program drives the library.
#include <cstddef>
#include <cstdint>
#include <vector>
#include "graphics/jpeg/JpegCodec.h"

namespace {

class Store : public jpeg::DecodeTarget {
public:
    std::vector<std::vector<uint8_t>> rows;
    bool eightBit = false;
    void Prepared(bool eight, bool, std::vector<uint8_t>&) override { eightBit = eight; }
    void Started(int32_t width, int32_t height, const jpeg::ColourMap*) override {
        rows.assign(size_t(height), std::vector<uint8_t>(size_t(width) * (eightBit ? 1 : 3)));
    }
    // Each row a block of its own, exactly as long as the program's: a longer write shows.
    uint8_t* Row(int32_t y) override { return rows[size_t(y)].data(); }
    void Progress(uint8_t, bool, int32_t, int32_t, int32_t, int32_t) override {}
    uint32_t Ticks() override { return ++clock * 200; }
    uint32_t clock = 0;
};

}  // namespace

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
    Store store;
    jpeg::DecodeOptions options;
    options.eightBit = pixels <= kMaxEightBitPixels && (data[size - 1] & 3) == 3;
    try {
        jpeg::Decode(data, size, options, store);
    } catch (const jpeg::Failure&) {
    }
    return 0;
}
