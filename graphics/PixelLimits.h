// The most pixel memory one picture may claim, shared by every format that makes pixels from
// a file. A few bytes of file can claim gigabytes: the claim is checked against this before
// anything is allocated. 1 GiB holds a 16384 x 16384 picture at 24 bits (768 MiB) with room.
#pragma once
#include <cstdint>

#ifdef PIXEL_LIMIT_BYTES
constexpr uint64_t kMaxPicturePixelBytes = PIXEL_LIMIT_BYTES;  // the fuzzers' smaller bound
#else
constexpr uint64_t kMaxPicturePixelBytes = 1ull << 30;
#endif
