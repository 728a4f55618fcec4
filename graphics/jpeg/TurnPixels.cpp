#include "graphics/jpeg/TurnPixels.h"
#include <cstring>

namespace jpeg {

namespace {

// One upright row: `count` pixels taken `step` bytes apart from from[at] on. The walk counts
// in offsets, so that it never forms an address outside the stored rows.
template <int Bytes>
void Gather(const uint8_t* from, ptrdiff_t at, ptrdiff_t step, int32_t count, uint8_t* row) {
    for (int32_t x = 0; x < count; ++x, at += step, row += Bytes) std::memcpy(row, from + at, Bytes);
}

}  // namespace

void TurnPixels(const uint8_t* from, ptrdiff_t fromStride, int32_t width, int32_t height, int bytes, uint8_t* to,
                ptrdiff_t toStride, int orientation) noexcept {
    if (width <= 0 || height <= 0) return;
    if (orientation < 1 || orientation > 8) orientation = 1;
    const bool swaps = orientation >= 5;  // a quarter turn, or a mirror about a diagonal
    const int32_t uprightWidth = swaps ? height : width, uprightHeight = swaps ? width : height;
    const ptrdiff_t pixel = bytes, lastRow = (height - 1) * fromStride, lastColumn = (width - 1) * pixel;
    for (int32_t y = 0; y < uprightHeight; ++y) {
        // Where upright row y starts among the stored pixels, and the step to its next pixel:
        // 2 mirrors left to right, 3 turns half round, 4 mirrors top to bottom, 5 mirrors
        // about the diagonal from the top left, 6 turns a quarter clockwise, 7 mirrors about
        // the other diagonal, 8 turns a quarter anticlockwise.
        ptrdiff_t start = 0, step = pixel;
        switch (orientation) {
        case 1: start = y * fromStride; break;
        case 2: start = y * fromStride + lastColumn, step = -pixel; break;
        case 3: start = lastRow - y * fromStride + lastColumn, step = -pixel; break;
        case 4: start = lastRow - y * fromStride; break;
        case 5: start = y * pixel, step = fromStride; break;
        case 6: start = lastRow + y * pixel, step = -fromStride; break;
        case 7: start = lastRow + lastColumn - y * pixel, step = -fromStride; break;
        case 8: start = lastColumn - y * pixel, step = fromStride; break;
        }
        uint8_t* row = to + y * toStride;
        if (bytes == 1) Gather<1>(from, start, step, uprightWidth, row);
        else if (bytes == 3) Gather<3>(from, start, step, uprightWidth, row);
        else Gather<4>(from, start, step, uprightWidth, row);
    }
}

}  // namespace jpeg
