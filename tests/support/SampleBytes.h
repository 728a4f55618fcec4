// Byte writers the sample builders of every format share: little-endian fields appended to a
// file being built, or written over one at an offset. Writes past the end are dropped, so a
// hostile case can name any offset of a file that may be shorter than expected.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "graphics/LittleEndian.h"

namespace samplebytes {

using Bytes = std::vector<uint8_t>;

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
