// Enlarging a small glyph drawn in a key colour (a toolbar picture) to the size a higher
// screen resolution asks for, so that it keeps its crisp edges: it is doubled by the pixel
// art rule that carries diagonal edges on as diagonals rather than stairs (each pixel
// becomes four, a quarter taking the colour of the two neighbours it lies between when
// they agree and the other two do not), as often as it takes to reach the size, then
// area-averaged down to the size exactly. The key colour becomes transparent; edges that
// the average blends get partial coverage. Plain C++, no platform calls.
#pragma once
#include <cstdint>
#include <vector>

namespace glyph {

// Pixels are 32-bit values 0xAARRGGBB (blue in the lowest byte, as a DIB stores them).
struct Image {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // rows top to bottom
};

// Each pixel as four, by the rule above; the edges repeat their outermost pixels.
Image Doubled(const Image& source);

// `source` at `width` x `height` (each at least the source's side, at most 64 times it),
// premultiplied: the key colour has alpha 0, all other pixels alpha 255 before the average.
// At the source's own size that is the source with its key pixels cleared.
Image Scaled(const Image& source, uint32_t keyColour, uint32_t width, uint32_t height);

}  // namespace glyph
