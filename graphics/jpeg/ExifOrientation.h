// The orientation a camera records for its picture: the EXIF Orientation tag (0x0112) of the
// first image directory, in an APP1 marker's bytes. Plain C++ over a byte range, so that the
// native sanitizer checks and the fuzzer read exactly what the program reads.
#pragma once
#include <cstddef>
#include <cstdint>

namespace jpeg {

// `payload` is the marker's data after its length field ("Exif\0\0", then a TIFF header in
// either byte order). Answers 1 to 8; 1 (as stored) when the tag is missing, out of range,
// or the block is damaged in any way. Reads nothing outside the payload, follows no chain
// of directories and allocates nothing.
int ExifOrientation(const uint8_t* payload, size_t size) noexcept;

}  // namespace jpeg
