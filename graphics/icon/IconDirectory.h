// Reading icon files from bytes: the six-byte header, the directory, and where each entry's
// image lies. Plain C++ with no platform calls, so that the checks TIcon relies on can be
// built natively and run under sanitizers and a fuzzer. A file accepted here has every
// entry's image inside its bytes, so drawing any entry later reads nothing outside them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

namespace ico {

constexpr uint16_t kStockIconType = 0;  // stands for the platform's default application icon
constexpr uint16_t kIconType = 1;
constexpr uint32_t kHeaderSize = 6;
constexpr uint32_t kEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPngHeaderBytes = 33;  // signature, then the IHDR chunk with its checksum
// A colour count of 0 (true colour) counts as this.
constexpr uint32_t kManyColours = 2147483647;
// Images with more pixels than this are refused: the screen copy made of them while drawing
// takes four bytes a pixel, whatever depth the file stores.
#ifdef ICO_MAX_IMAGE_PIXELS
constexpr uint64_t kMaxImagePixels = ICO_MAX_IMAGE_PIXELS;  // the fuzzer's smaller bound
#else
constexpr uint64_t kMaxImagePixels = 1ull << 24;
#endif

enum class Failure {
    InvalidImage,  // not an icon file this reader accepts
    ReadError,     // shorter than the header
};

class IconError : public std::exception {
public:
    explicit IconError(Failure failure) : failure_(failure) {}
    Failure failure() const noexcept { return failure_; }
    const char* what() const noexcept override;

private:
    Failure failure_;
};

struct DirectoryEntry {
    int32_t width = 0;         // bWidth, 0 read as 256
    int32_t height = 0;        // bHeight, 0 read as 256
    uint32_t colourCount = 0;  // bColorCount and bReserved as one number, 0 read as kManyColours
    uint32_t bytesInRes = 0;
    uint32_t imageOffset = 0;  // from the start of the file
    bool png = false;          // a PNG stream rather than a bitmap
};

struct IconFile {
    uint16_t type = 0;
    std::vector<DirectoryEntry> entries;  // empty for a stock icon
};

// Reads and checks the whole file: ReadError when it is shorter than the header,
// InvalidImage for a type of 2 or more, an empty or cut directory, or an entry whose image
// is not wholly inside the file or is not a bitmap image or PNG stream that can be drawn.
// Each entry is judged by its headers alone, never its pixels: the check costs the size of
// the directory, however many entries share one big image.
IconFile ReadIconFile(const uint8_t* data, size_t size);

// The most colours an entry may have for a screen of `bitsPerPixel` (bits times planes).
uint32_t ColourLimit(uint16_t bitsPerPixel);

// The entry to draw for the wanted size: entry 0 unless a later one has no more colours
// than `colourLimit`, at least as many as the one chosen so far, and is no farther from
// the wanted size (at or below it is preferred to above it). Later entries win ties.
size_t ChooseEntry(const std::vector<DirectoryEntry>& entries, int32_t wantedWidth, int32_t wantedHeight,
                   uint32_t colourLimit);

// A bitmap entry as the platform takes it: two device-independent bitmap descriptions
// (header and colour table) and where their pixels lie in the file.
struct BitmapParts {
    // The header with biHeight halved to the colour rows, biSizeImage to match and
    // biClrUsed 0 (the full table is always there), then the table.
    std::vector<uint8_t> colourInfo;
    // The same picture as 1-bit rows with a black and white table: the transparency mask.
    std::vector<uint8_t> maskInfo;
    size_t colourOffset = 0, colourBytes = 0;  // the colour pixels' place in the file
    size_t maskOffset = 0, maskBytes = 0;      // the mask's
    int32_t width = 0, rows = 0;               // the image's own size
    // A 32-bit image whose AND mask is missing or cut short (as favicons are written): the
    // mask made from the alpha channel, alpha 0 see-through, and the colour pixels with the
    // see-through ones black, which drawing through the mask needs. When every alpha byte is
    // 0 (the fourth byte left unused) the mask is all opaque and the file's pixels serve.
    // Empty otherwise: the file's own pixels and mask are used.
    std::vector<uint8_t> maskFromAlpha, colourForMask;

    const uint8_t* ColourPixels(const uint8_t* file) const {
        return colourForMask.empty() ? file + colourOffset : colourForMask.data();
    }
    const uint8_t* MaskPixels(const uint8_t* file) const {
        return maskFromAlpha.empty() ? file + maskOffset : maskFromAlpha.data();
    }
};

// The parts of `entry`, which must come from ReadIconFile over the same bytes and not be a
// PNG entry; InvalidImage otherwise. Every image but a 32-bit one needs its whole AND mask.
// Making a mask from the alpha channel walks the image's pixels: only for the entry drawn.
BitmapParts LayOutBitmap(const uint8_t* data, size_t size, const DirectoryEntry& entry);

}  // namespace ico
