// Reading Windows bitmap files from bytes: the file header, the info header in its core,
// 40-byte and later forms, bit masks, colour tables, size arithmetic and run-length
// decoding. Plain C++ with no platform calls, so that the same code that TBitmap uses to
// read files can be built natively and run under sanitizers and a fuzzer. Everything a
// hostile file can say is checked here before the caller allocates anything.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>
#include "graphics/PixelLimits.h"

namespace bmp {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMaskBytes = 12;
constexpr uint32_t kMaxColours = 256;
// Pixel stores larger than this are refused before any allocation: a few bytes of file can
// claim gigabytes of pixels.
#ifdef BMP_MAX_PIXEL_BYTES
constexpr uint64_t kMaxPixelBytes = BMP_MAX_PIXEL_BYTES;  // the fuzzer's smaller bound
#else
constexpr uint64_t kMaxPixelBytes = kMaxPicturePixelBytes;
#endif
constexpr uint16_t kBmSignature = 0x4D42;  // "BM"

enum class Failure {
    InvalidImage,  // the file is not a bitmap this reader accepts
    ReadError,     // a part that must be read in full is cut short
};

class DecodeError : public std::exception {
public:
    explicit DecodeError(Failure failure) : failure_(failure) {}
    Failure failure() const noexcept { return failure_; }
    const char* what() const noexcept override;

private:
    Failure failure_;
};

// Where the bytes come from. Read gives fewer bytes than asked only at the end of the data.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t Read(void* buffer, size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(void* buffer, size_t count) override;
    size_t Position() const { return position_; }
    void Seek(size_t position) { position_ = position < size_ ? position : size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

struct FileHeader {
    uint16_t bfType = 0;
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0, bfReserved2 = 0;
    uint32_t bfOffBits = 0;
};

// The fields of BITMAPINFOHEADER, in its order and sizes.
struct InfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// The header as read, before the colour table.
struct DibHeader {
    uint32_t headerSize = 0;      // as the file gives it (12 for a core header)
    bool fromCoreHeader = false;  // 12-byte header: widened to the 40-byte form
    InfoHeader info;              // biSize is 40 for a core header, the file's size otherwise
    std::vector<uint8_t> raw;     // the header's bytes as read, size field included (may be short)
};

// Everything needed to make the pixels, after the colour table has been read.
struct DibLayout {
    DibHeader header;
    uint32_t masks[3] = {0, 0, 0};       // red, green, blue for BI_BITFIELDS
    uint8_t colours[kMaxColours * 4] = {};  // RGBQUAD entries: blue, green, red, 0
    uint32_t colourCount = 0;            // entries in `colours` (biClrUsed after defaults)
    uint32_t width = 0;                  // biWidth, known positive
    uint32_t height = 0;                 // absolute biHeight, known positive
    bool topDown = false;                // negative biHeight
    uint32_t stride = 0;                 // bytes per row of the uncompressed pixels
    uint32_t pixelStoreBytes = 0;        // stride x height: the section's size
    uint32_t pixelBytesToRead = 0;       // bytes of pixel data to take from the file
    bool compressed = false;             // BI_RLE8 or BI_RLE4

    // The info header as the platform should be given it: 40 bytes, BI_RGB for the
    // decoded run-length pictures, the masks kept for bit-field pictures.
    InfoHeader PlatformHeader() const;
};

// Bytes per row of `width` pixels of `bitCount` bits, padded to 4 bytes; 0 when the row
// would not fit in 32 bits.
uint64_t RowStride(uint64_t width, uint32_t bitCount);

// Reads and checks the 14-byte file header (ReadError when short, InvalidImage for a
// wrong signature).
FileHeader ReadFileHeader(ByteSource& source);

// Reads the header size and the header. `remaining` is the number of bytes the DIB has
// left, and decreases by what the header takes (never below 0).
DibHeader ReadDibHeader(ByteSource& source, uint64_t& remaining);

// Run-length files keep their own bytes: whether this header asks for that (a run-length
// compression with its own depth; other compressions are refused before any pixel byte).
bool KeepsFileBytes(const DibHeader& header);

// The file's bytes as kept for a run-length picture: the file header (a made one with "BM"
// when none was read), the header, then `remaining` bytes copied from the source.
// `available` is how many bytes the source is known to hold (0: not known); that much room
// is made at once.
std::vector<uint8_t> BuildSavedFileBytes(const FileHeader* fileHeader, const DibHeader& header,
                                         ByteSource& source, uint64_t remaining, uint64_t available = 0);

// Reads the masks and the colour table that follow the header, and checks that the
// picture can be made: plane count, depth and compression, sizes and their arithmetic.
DibLayout ReadDibTables(ByteSource& source, DibHeader header, uint64_t& remaining);

// Expands run-length pixel data into `pixels` (layout.pixelStoreBytes bytes, zeroed by
// the caller, rows bottom-up). Runs that leave the picture are cut off at its edges.
void DecodeRunLength(const DibLayout& layout, const uint8_t* data, size_t size, uint8_t* pixels);

// A whole file decoded into memory: what the native checks and the fuzzer run.
struct DecodedBitmap {
    DibLayout layout;
    std::vector<uint8_t> pixels;     // pixelStoreBytes bytes in the file's row order
    std::vector<uint8_t> savedBytes; // the file's own bytes, for run-length pictures
    bool empty = false;              // a 0-byte file
};
DecodedBitmap DecodeBmpFile(const uint8_t* data, size_t size);

}  // namespace bmp
