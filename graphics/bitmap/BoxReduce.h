// Reduction of a picture by area averaging: each pixel of the smaller picture is the mean
// of the source pixels it covers, each weighted by the share of its area that lies inside.
// Plain C++ over 32-bit rows (blue, green, red, unused), no platform calls, so that it also
// builds natively under the sanitizers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace box {

// The largest side the arithmetic takes: a source side up to 2^22 keeps every sum of one
// destination pixel within 64 bits and every row sum within 32.
constexpr uint32_t kMaxSide = 1u << 22;

// True when a source of srcWidth x srcHeight can be reduced to dstWidth x dstHeight: every
// side within kMaxSide, the destination at least 1 x 1 and no larger than the source on
// either side.
bool CanReduce(uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight);

// Takes the source rows top to bottom, in bands of any height, and writes each destination
// row as soon as the source rows it covers are in. The fourth byte of each written pixel is 0.
class Reducer {
public:
    // Throws std::invalid_argument unless CanReduce, std::bad_alloc without memory.
    // `dst` holds dstHeight rows of dstWidth pixels, `dstStride` bytes apart.
    Reducer(uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth, uint32_t dstHeight, uint8_t* dst,
            size_t dstStride);

    // The next `count` source rows, `stride` bytes apart (negative for a band stored bottom
    // row first). Rows past the source's height are ignored.
    void AddRows(const uint8_t* first, ptrdiff_t stride, uint32_t count);
    bool Done() const { return srcRow_ == srcHeight_; }

private:
    void AddRow(const uint8_t* row);
    void EmitRow(uint64_t* sums);

    uint32_t srcWidth_, srcHeight_, dstWidth_, dstHeight_;
    uint8_t* dst_;
    size_t dstStride_;
    // Per source column: the destination column it starts in and the part of its width
    // (in units where a source pixel is dstWidth wide) that falls into that column; the
    // rest falls into the next.
    std::vector<uint32_t> column_, columnShare_;
    std::vector<uint32_t> rowSums_;   // one source row reduced across: 3 per destination column, +3
    std::vector<uint64_t> current_;   // sums for the destination row being filled
    std::vector<uint64_t> next_;      // what already falls into the row after it
    uint32_t srcRow_ = 0;
    uint32_t dstRow_ = 0;
    double scale_;                    // 1 / (srcWidth x srcHeight): each pixel's total weight
};

}  // namespace box
