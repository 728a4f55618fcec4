#include "graphics/icon/IconDirectory.h"
#include <cstring>
#include "graphics/LittleEndian.h"

namespace ico {

namespace {

uint32_t BigEndianDword(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

[[noreturn]] void Invalid() { throw IconError(Failure::InvalidImage); }

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Offsets of BITMAPINFOHEADER's fields.
constexpr size_t kBiSize = 0, kBiWidth = 4, kBiHeight = 8, kBiPlanes = 12, kBiBitCount = 14,
                 kBiCompression = 16, kBiSizeImage = 20, kBiClrUsed = 32, kBiClrImportant = 36;

uint64_t RowBytes(uint64_t width, uint32_t bitCount) { return ((width * bitCount + 31) & ~uint64_t(31)) / 8; }

bool InsideFile(size_t size, const DirectoryEntry& entry) {
    return uint64_t(entry.imageOffset) + entry.bytesInRes <= size;
}

bool StartsWithPng(const uint8_t* image, uint32_t bytes) {
    return bytes >= sizeof kPngSignature && std::memcmp(image, kPngSignature, sizeof kPngSignature) == 0;
}

// Only the header chunk is looked at: the platform decodes the rest, and refuses it whole
// if it is damaged.
void CheckPngHeader(const uint8_t* image, uint32_t bytes) {
    if (bytes < kPngHeaderBytes) Invalid();
    const uint8_t* chunk = image + sizeof kPngSignature;
    if (BigEndianDword(chunk) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) Invalid();
    uint32_t width = BigEndianDword(chunk + 8), height = BigEndianDword(chunk + 12);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) Invalid();
    if (uint64_t(width) * height > kMaxImagePixels) Invalid();
}

// Whether a later entry is at least as close to the wanted size as the one chosen so far.
bool AtLeastAsClose(const DirectoryEntry& next, const DirectoryEntry& chosen, int32_t wantedWidth,
                    int32_t wantedHeight) {
    int64_t dw = int64_t(next.width) - wantedWidth, dh = int64_t(next.height) - wantedHeight;
    int64_t ow = int64_t(chosen.width) - wantedWidth, oh = int64_t(chosen.height) - wantedHeight;
    auto magnitude = [](int64_t v) { return v < 0 ? -v : v; };
    return magnitude(dw) <= magnitude(ow) && (dw <= 0 || dw <= ow) && magnitude(dh) <= magnitude(oh) &&
           (dh <= 0 || dh <= oh);
}

// Rows of 32-bit pixels carry no padding, and the mask's rows run in the same order. Writers
// that leave the fourth byte unused write it as 0 throughout: such pixels are opaque, as for
// any 32-bit picture without alpha, and the file's own pixels serve.
void MakeMaskFromAlpha(const uint8_t* pixels, BitmapParts& parts) {
    const size_t width = size_t(parts.width), maskRow = size_t(RowBytes(width, 1));
    parts.maskFromAlpha.assign(parts.maskBytes, 0);
    bool anyAlpha = false;
    for (size_t i = 3; i < parts.colourBytes && !anyAlpha; i += 4) anyAlpha = pixels[i] != 0;
    if (!anyAlpha) return;
    parts.colourForMask.assign(pixels, pixels + parts.colourBytes);
    for (size_t y = 0; y < size_t(parts.rows); ++y) {
        uint8_t* row = parts.colourForMask.data() + y * width * 4;
        uint8_t* mask = parts.maskFromAlpha.data() + y * maskRow;
        for (size_t x = 0; x < width; ++x) {
            uint8_t* pixel = row + x * 4;
            if (pixel[3] != 0) continue;
            std::memset(pixel, 0, 4);
            mask[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
}

// Where a bitmap entry's parts lie, from its header alone: checking a directory costs its
// headers, however many entries share one big image.
struct Geometry {
    int32_t width = 0;
    uint32_t rows = 0;
    uint64_t tableEnd = 0, colourBytes = 0, maskBytes = 0;
    bool ownMask = false;  // the whole AND mask is there
};

Geometry MeasureBitmap(const uint8_t* data, size_t size, const DirectoryEntry& entry) {
    if (entry.png || !InsideFile(size, entry) || entry.bytesInRes < kInfoHeaderSize) Invalid();
    const uint8_t* header = data + entry.imageOffset;
    Geometry g;
    g.width = int32_t(le::Get32(header + kBiWidth));
    int32_t height = int32_t(le::Get32(header + kBiHeight));  // colour and mask rows together
    uint16_t bitCount = le::Get16(header + kBiBitCount);
    // A later header form would put the colour table elsewhere; compressed or bit-field
    // pixels would be read by the platform in a layout not measured here.
    if (le::Get32(header + kBiSize) != kInfoHeaderSize || le::Get32(header + kBiCompression) != 0) Invalid();
    if (g.width <= 0 || height < 2) Invalid();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Invalid();
    g.rows = uint32_t(height) >> 1;
    if (uint64_t(g.width) * g.rows > kMaxImagePixels) Invalid();

    uint32_t tableEntries = bitCount <= 8 ? 1u << bitCount : 0;
    g.tableEnd = kInfoHeaderSize + 4ull * tableEntries;
    g.colourBytes = RowBytes(uint64_t(g.width), bitCount) * g.rows;
    g.maskBytes = RowBytes(uint64_t(g.width), 1) * g.rows;
    if (g.tableEnd + g.colourBytes > entry.bytesInRes) Invalid();
    g.ownMask = g.tableEnd + g.colourBytes + g.maskBytes <= entry.bytesInRes;
    if (!g.ownMask && bitCount != 32) Invalid();
    return g;
}

}  // namespace

const char* IconError::what() const noexcept {
    return failure_ == Failure::ReadError ? "icon file shorter than its header" : "invalid icon image";
}

IconFile ReadIconFile(const uint8_t* data, size_t size) {
    if (size < kHeaderSize) throw IconError(Failure::ReadError);
    IconFile file;
    file.type = le::Get16(data + 2);
    if (file.type > kIconType) Invalid();
    if (file.type == kStockIconType) return file;

    uint32_t count = le::Get16(data + 4);
    if (count == 0 || kHeaderSize + uint64_t(count) * kEntrySize > size) Invalid();
    file.entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = data + kHeaderSize + size_t(i) * kEntrySize;
        DirectoryEntry entry;
        entry.width = e[0] ? e[0] : 256;
        entry.height = e[1] ? e[1] : 256;
        entry.colourCount = le::Get16(e + 2) ? le::Get16(e + 2) : kManyColours;
        entry.bytesInRes = le::Get32(e + 8);
        entry.imageOffset = le::Get32(e + 12);
        if (!InsideFile(size, entry)) Invalid();
        entry.png = StartsWithPng(data + entry.imageOffset, entry.bytesInRes);
        if (entry.png) CheckPngHeader(data + entry.imageOffset, entry.bytesInRes);
        else MeasureBitmap(data, size, entry);
        file.entries.push_back(entry);
    }
    return file;
}

uint32_t ColourLimit(uint16_t bitsPerPixel) {
    return bitsPerPixel <= 8 ? uint32_t(1) << bitsPerPixel : kManyColours;
}

size_t ChooseEntry(const std::vector<DirectoryEntry>& entries, int32_t wantedWidth, int32_t wantedHeight,
                   uint32_t colourLimit) {
    size_t chosen = 0;
    if (entries.empty()) return chosen;
    uint32_t chosenCount = entries[0].colourCount;
    for (size_t i = 1; i < entries.size(); ++i) {
        uint32_t k = entries[i].colourCount;
        if (k <= colourLimit && k >= chosenCount &&
            AtLeastAsClose(entries[i], entries[chosen], wantedWidth, wantedHeight)) {
            chosen = i;
            chosenCount = k;
        }
    }
    return chosen;
}

BitmapParts LayOutBitmap(const uint8_t* data, size_t size, const DirectoryEntry& entry) {
    const Geometry g = MeasureBitmap(data, size, entry);
    const uint8_t* header = data + entry.imageOffset;
    BitmapParts parts;
    parts.width = g.width;
    parts.rows = int32_t(g.rows);
    parts.colourOffset = size_t(entry.imageOffset + g.tableEnd);
    parts.colourBytes = size_t(g.colourBytes);
    parts.maskOffset = size_t(parts.colourOffset + g.colourBytes);
    parts.maskBytes = size_t(g.maskBytes);

    parts.colourInfo.assign(header, header + g.tableEnd);
    uint8_t* colour = parts.colourInfo.data();
    le::Put32(colour + kBiHeight, g.rows);
    colour[kBiPlanes] = 1;  // the platform refuses any other plane count in a DIB
    colour[kBiPlanes + 1] = 0;
    le::Put32(colour + kBiSizeImage, uint32_t(g.colourBytes));
    le::Put32(colour + kBiClrUsed, 0);
    le::Put32(colour + kBiClrImportant, 0);

    parts.maskInfo.assign(colour, colour + kInfoHeaderSize);
    parts.maskInfo.resize(kInfoHeaderSize + 8, 0);
    uint8_t* mask = parts.maskInfo.data();
    mask[kBiBitCount] = 1;
    mask[kBiBitCount + 1] = 0;
    le::Put32(mask + kBiSizeImage, uint32_t(g.maskBytes));
    le::Put32(mask + kBiClrUsed, 2);
    le::Put32(mask + kBiClrImportant, 2);
    std::memset(mask + kInfoHeaderSize + 4, 255, 3);  // entry 0 black, entry 1 white
    if (!g.ownMask) MakeMaskFromAlpha(data + parts.colourOffset, parts);
    return parts;
}

}  // namespace ico
