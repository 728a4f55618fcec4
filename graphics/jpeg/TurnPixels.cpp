#include "graphics/jpeg/TurnPixels.h"
#include <algorithm>
#include <cstring>

namespace jpeg {

namespace {

// Upright pixel (x, y) is stored at from[start + y * down + x * across]; offsets are counted
// apart from the pointer, so no address outside the stored rows is ever formed. Without a
// quarter turn an upright row is a stored row, copied pixel by pixel. With one it is a stored
// column: the rows are made a band at a time, column by column, so that each stored row is
// read a run of neighbouring pixels at a time instead of one pixel a row (for a 24-megapixel
// photo a third of the time or less).
template <int Bytes>
void Move(const uint8_t* from, ptrdiff_t start, ptrdiff_t down, ptrdiff_t across, int32_t width, int32_t height,
          bool quarter, uint8_t* to, ptrdiff_t toStride) {
    const int32_t band = quarter ? 16 : 1;
    for (int32_t top = 0; top < height; top += band) {
        const int32_t bottom = std::min(height, top + band);
        if (!quarter) {
            uint8_t* row = to + top * toStride;
            for (ptrdiff_t x = 0, at = start + top * down; x < width; ++x, at += across)
                std::memcpy(row + x * Bytes, from + at, Bytes);
            continue;
        }
        for (int32_t x = 0; x < width; ++x)
            for (int32_t y = top; y < bottom; ++y)
                std::memcpy(to + y * toStride + x * Bytes, from + start + y * down + x * across, Bytes);
    }
}

}  // namespace

void TurnPixels(const uint8_t* from, ptrdiff_t fromStride, int32_t width, int32_t height, int bytes, uint8_t* to,
                ptrdiff_t toStride, int orientation) noexcept {
    if (width <= 0 || height <= 0) return;
    if (orientation < 1 || orientation > 8) orientation = 1;
    const bool swaps = orientation >= 5;  // a quarter turn, or a mirror about a diagonal
    const ptrdiff_t p = bytes, s = fromStride, lastRow = (height - 1) * s, lastColumn = (width - 1) * p;
    // Where upright row 0 starts, and the steps down and across: 2 mirrors left to right, 3
    // turns half round, 4 mirrors top to bottom, 5 mirrors about the diagonal from the top
    // left, 6 turns a quarter clockwise, 7 mirrors about the other diagonal, 8 turns a
    // quarter anticlockwise.
    const ptrdiff_t steps[9][3] = {{},
                                   {0, s, p},
                                   {lastColumn, s, -p},
                                   {lastRow + lastColumn, -s, -p},
                                   {lastRow, -s, p},
                                   {0, p, s},
                                   {lastRow, p, -s},
                                   {lastRow + lastColumn, -p, -s},
                                   {lastColumn, -p, s}};
    const ptrdiff_t* m = steps[orientation];
    const int32_t w = swaps ? height : width, h = swaps ? width : height;
    if (bytes == 1) Move<1>(from, m[0], m[1], m[2], w, h, swaps, to, toStride);
    else if (bytes == 3) Move<3>(from, m[0], m[1], m[2], w, h, swaps, to, toStride);
    else Move<4>(from, m[0], m[1], m[2], w, h, swaps, to, toStride);
}

}  // namespace jpeg
