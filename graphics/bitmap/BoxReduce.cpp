#include "graphics/bitmap/BoxReduce.h"

#include <algorithm>
#include <stdexcept>

namespace box {

bool CanReduce(uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight) {
    return srcWidth <= kMaxSide && srcHeight <= kMaxSide && dstWidth >= 1 && dstHeight >= 1 &&
           dstWidth <= srcWidth && dstHeight <= srcHeight;
}

// Positions are measured in units of 1 / (source size x destination size) of the side: a
// source pixel is dst units long, a destination pixel src units. Overlaps are then whole
// numbers, and the weights of one destination pixel add up to exactly src x src on both
// axes, so that a flat colour comes back unchanged.
Reducer::Reducer(uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight, uint8_t* dst,
                 size_t dstStride)
    : srcWidth_(srcWidth), srcHeight_(srcHeight), dstWidth_(dstWidth), dstHeight_(dstHeight), dst_(dst),
      dstStride_(dstStride) {
    if (!CanReduce(srcWidth, srcHeight, dstWidth, dstHeight)) throw std::invalid_argument("box reduction size");
    column_.resize(srcWidth);
    columnShare_.resize(srcWidth);
    for (uint32_t i = 0; i < srcWidth; ++i) {
        const uint64_t start = uint64_t(i) * dstWidth;
        const uint32_t d = uint32_t(start / srcWidth);
        const uint64_t boundary = uint64_t(d + 1) * srcWidth;  // where destination column d ends
        column_[i] = d;
        columnShare_[i] = start + dstWidth <= boundary ? dstWidth : uint32_t(boundary - start);
    }
    rowSums_.resize((size_t(dstWidth) + 1) * 3);
    current_.assign(size_t(dstWidth) * 3, 0);
    next_.assign(size_t(dstWidth) * 3, 0);
    scale_ = 1.0 / (double(srcWidth) * double(srcHeight));
}

void Reducer::AddRows(const uint8_t* first, ptrdiff_t stride, uint32_t count) {
    for (uint32_t k = 0; k < count && srcRow_ < srcHeight_; ++k) AddRow(first + ptrdiff_t(k) * stride);
}

void Reducer::AddRow(const uint8_t* row) {
    // Across: each source pixel adds its colour, times its share, to its column and the rest
    // to the next (a share of dstWidth leaves nothing for the next). Row sums stay below
    // 255 x kMaxSide < 2^32.
    std::fill(rowSums_.begin(), rowSums_.end(), 0u);
    uint32_t* sums = rowSums_.data();
    const uint32_t whole = dstWidth_;
    for (uint32_t i = 0; i < srcWidth_; ++i) {
        const uint8_t* p = row + size_t(i) * 4;
        uint32_t* s = sums + size_t(column_[i]) * 3;
        const uint32_t a = columnShare_[i], b = whole - a;
        s[0] += p[0] * a;
        s[1] += p[1] * a;
        s[2] += p[2] * a;
        s[3] += p[0] * b;
        s[4] += p[1] * b;
        s[5] += p[2] * b;
    }
    // Down: the same split between the destination row being filled and the next.
    const uint64_t start = uint64_t(srcRow_) * dstHeight_;
    const uint64_t boundary = uint64_t(dstRow_ + 1) * srcHeight_;
    const uint32_t a = start + dstHeight_ <= boundary ? dstHeight_ : uint32_t(boundary - start);
    const uint32_t b = dstHeight_ - a;
    const size_t n = size_t(dstWidth_) * 3;
    for (size_t k = 0; k < n; ++k) {
        current_[k] += uint64_t(sums[k]) * a;
        next_[k] += uint64_t(sums[k]) * b;
    }
    ++srcRow_;
    if (start + dstHeight_ >= boundary) {
        EmitRow(current_.data());
        current_.swap(next_);
        std::fill(next_.begin(), next_.end(), 0u);
    }
}

void Reducer::EmitRow(uint64_t* sums) {
    if (dstRow_ >= dstHeight_) return;
    uint8_t* out = dst_ + size_t(dstRow_) * dstStride_;
    for (uint32_t x = 0; x < dstWidth_; ++x) {
        for (int c = 0; c < 3; ++c) {
            // Sums stay below 255 x 2^44, exact in a double; the rounding is to nearest.
            const double v = double(sums[size_t(x) * 3 + c]) * scale_ + 0.5;
            out[size_t(x) * 4 + c] = v >= 255.0 ? 255 : uint8_t(v);
        }
        out[size_t(x) * 4 + 3] = 0;
    }
    ++dstRow_;
}

}  // namespace box
