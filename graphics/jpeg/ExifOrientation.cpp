#include "graphics/jpeg/ExifOrientation.h"
#include <cstring>

namespace jpeg {

namespace {

constexpr uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr size_t kTiffHeader = 8;   // byte order, 42, offset of the first directory
constexpr size_t kEntry = 12;       // tag, type, count, value
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShort = 3;

struct Tiff {
    const uint8_t* bytes;
    size_t size;
    bool bigEndian;

    uint16_t Get16(size_t at) const {
        return bigEndian ? uint16_t(bytes[at] << 8 | bytes[at + 1]) : uint16_t(bytes[at + 1] << 8 | bytes[at]);
    }
    uint32_t Get32(size_t at) const {
        const uint32_t a = Get16(at), b = Get16(at + 2);
        return bigEndian ? a << 16 | b : b << 16 | a;
    }
};

}  // namespace

int ExifOrientation(const uint8_t* payload, size_t size) noexcept {
    if (!payload || size < sizeof kExifHeader + kTiffHeader) return 1;
    if (std::memcmp(payload, kExifHeader, sizeof kExifHeader) != 0) return 1;
    // Offsets in the block count from the TIFF header.
    Tiff tiff{payload + sizeof kExifHeader, size - sizeof kExifHeader, false};
    if (tiff.bytes[0] == 'M' && tiff.bytes[1] == 'M') tiff.bigEndian = true;
    else if (tiff.bytes[0] != 'I' || tiff.bytes[1] != 'I') return 1;
    if (tiff.Get16(2) != 42) return 1;

    // The first directory: a count, then that many entries. It must lie after the header
    // and whole within the block; one that does not is damaged, whatever it holds.
    const uint32_t directory = tiff.Get32(4);
    if (directory < kTiffHeader || directory > tiff.size || tiff.size - directory < 2) return 1;
    const size_t entries = tiff.Get16(directory);
    if (entries > (tiff.size - directory - 2) / kEntry) return 1;

    // Only this directory is read: the chain to the next one (where loops would be) is not
    // followed, and a value of one SHORT sits in the entry itself.
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + i * kEntry;
        if (tiff.Get16(entry) != kOrientationTag) continue;
        if (tiff.Get16(entry + 2) != kShort || tiff.Get32(entry + 4) != 1) return 1;
        const uint16_t value = tiff.Get16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

}  // namespace jpeg
