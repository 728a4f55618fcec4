// Byte writers the sample builders of every format share, with the colour they are given in: little-endian fields appended to a
// file being built, or written over one at an offset. Writes past the end are dropped, so a
// hostile case can name any offset of a file that may be shorter than expected.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "graphics/LittleEndian.h"

namespace samplebytes {

using Bytes = std::vector<uint8_t>;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
    friend bool operator!=(Rgb a, Rgb b) { return !(a == b); }
    uint32_t Packed() const { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }  // 0x00RRGGBB
};

// Four flat quadrants (top left, top right, bottom left, bottom right), rows top first: a
// picture that shows whether it came out the right way up.
inline std::vector<Rgb> QuadrantPixels(int width, int height, const Rgb quadrant[4]) {
    std::vector<Rgb> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(quadrant[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return pixels;
}

inline void Append16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void Put16(Bytes& b, size_t at, uint16_t v) {
    if (at + 2 <= b.size()) le::Put16(b.data() + at, v);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
    if (at + 4 <= b.size()) le::Put32(b.data() + at, v);
}
inline uint32_t Get32(const Bytes& b, size_t at) { return at + 4 <= b.size() ? le::Get32(b.data() + at) : 0; }
inline Bytes With16(Bytes b, size_t at, uint16_t v) {
    Put16(b, at, v);
    return b;
}
inline Bytes With32(Bytes b, size_t at, uint32_t v) {
    Put32(b, at, v);
    return b;
}

}  // namespace samplebytes
