// Moving a picture's pixels so that it stands upright as its EXIF orientation says. Plain C++
// over rows and strides, without the platform, so the native checks run it as well.
#pragma once
#include <cstddef>
#include <cstdint>

namespace jpeg {

// Writes the upright picture of a stored one of `width` x `height` pixels of `bytes` bytes
// each (1, 3 or 4) into `to`: stored row y starts at from + y * fromStride, upright row y at
// to + y * toStride (strides may be negative, for rows stored bottom up). The upright picture
// is `height` x `width` for orientations 5 to 8; for 1 and values outside 1 to 8 it is a copy.
void TurnPixels(const uint8_t* from, ptrdiff_t fromStride, int32_t width, int32_t height, int bytes, uint8_t* to,
                ptrdiff_t toStride, int orientation) noexcept;

}  // namespace jpeg
