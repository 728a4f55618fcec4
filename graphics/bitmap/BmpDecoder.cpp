#include "graphics/bitmap/BmpDecoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include "graphics/LittleEndian.h"

namespace bmp {

const char* DecodeError::what() const noexcept {
    return failure_ == Failure::ReadError ? "bitmap data cut short" : "not an acceptable bitmap";
}

size_t MemorySource::Read(void* buffer, size_t count) {
    size_t n = std::min(count, size_ - position_);
    if (n) std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

namespace {

[[noreturn]] void Fail(Failure failure) { throw DecodeError(failure); }

using le::Get16;
using le::Get32;
using le::Put16;
using le::Put32;

void ReadExactly(ByteSource& source, void* buffer, size_t count) {
    if (source.Read(buffer, count) != count) Fail(Failure::ReadError);
}

void Consume(uint64_t& remaining, uint64_t count) {
    remaining = remaining > count ? remaining - count : 0;
}

// Appends up to `count` bytes from the source, in steps, so that a count the data does not
// back costs no more memory than the data; gives the number appended.
uint64_t AppendUpTo(ByteSource& source, std::vector<uint8_t>& bytes, uint64_t count) {
    uint64_t total = 0;
    while (count) {
        // Steps grow with what has been read, from a page up to a megabyte.
        size_t step = std::min<size_t>(std::max<size_t>(bytes.size(), 4096), 1u << 20);
        size_t chunk = static_cast<size_t>(std::min<uint64_t>(count, step));
        size_t at = bytes.size();
        bytes.resize(at + chunk);
        size_t got = source.Read(bytes.data() + at, chunk);
        bytes.resize(at + got);
        total += got;
        if (got < chunk) break;
        count -= chunk;
    }
    return total;
}

InfoHeader ParseInfoHeader(const uint8_t* p) {
    InfoHeader h;
    h.biSize = Get32(p);
    h.biWidth = static_cast<int32_t>(Get32(p + 4));
    h.biHeight = static_cast<int32_t>(Get32(p + 8));
    h.biPlanes = Get16(p + 12);
    h.biBitCount = Get16(p + 14);
    h.biCompression = Get32(p + 16);
    h.biSizeImage = Get32(p + 20);
    h.biXPelsPerMeter = static_cast<int32_t>(Get32(p + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(Get32(p + 28));
    h.biClrUsed = Get32(p + 32);
    h.biClrImportant = Get32(p + 36);
    return h;
}

bool DepthFitsCompression(uint32_t bitCount, uint32_t compression) {
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
               bitCount == 24 || bitCount == 32;
    case kBiBitfields: return bitCount == 16 || bitCount == 32;
    case kBiRle8: return bitCount == 8;
    case kBiRle4: return bitCount == 4;
    default: return false;
    }
}

}  // namespace

uint64_t RowStride(uint64_t width, uint32_t bitCount) {
    uint64_t bits = width * bitCount;  // width < 2^32 and bitCount <= 32: no overflow
    uint64_t stride = ((bits + 31) & ~uint64_t(31)) / 8;
    return stride > std::numeric_limits<uint32_t>::max() ? 0 : stride;
}

InfoHeader DibLayout::PlatformHeader() const {
    InfoHeader h = header.info;
    h.biSize = kInfoHeaderSize;
    if (compressed) {
        h.biCompression = kBiRgb;
        h.biSizeImage = pixelStoreBytes;
    }
    h.biClrUsed = colourCount;
    return h;
}

FileHeader ReadFileHeader(ByteSource& source) {
    uint8_t raw[kFileHeaderSize];
    ReadExactly(source, raw, sizeof raw);
    FileHeader f;
    f.bfType = Get16(raw);
    f.bfSize = Get32(raw + 2);
    f.bfReserved1 = Get16(raw + 6);
    f.bfReserved2 = Get16(raw + 8);
    f.bfOffBits = Get32(raw + 10);
    if (f.bfType != kBmSignature) Fail(Failure::InvalidImage);
    return f;
}

DibHeader ReadDibHeader(ByteSource& source, uint64_t& remaining) {
    uint8_t sizeField[4] = {};
    source.Read(sizeField, 4);  // a short read leaves zeros, refused just below
    DibHeader header;
    header.headerSize = Get32(sizeField);
    const uint32_t h = header.headerSize;

    if (h == kCoreHeaderSize) {
        uint8_t core[kCoreHeaderSize] = {};
        std::memcpy(core, sizeField, 4);
        source.Read(core + 4, 8);
        header.raw.assign(core, core + kCoreHeaderSize);
        header.fromCoreHeader = true;
        header.info.biSize = kInfoHeaderSize;
        header.info.biWidth = Get16(core + 4);
        header.info.biHeight = Get16(core + 6);
        header.info.biPlanes = Get16(core + 8);
        header.info.biBitCount = Get16(core + 10);
        Consume(remaining, kCoreHeaderSize);
        return header;
    }

    // A header must hold at least the 40-byte fields, and its size (a signed 32-bit count)
    // must leave room for the masks and a full colour table behind it.
    if (h < kInfoHeaderSize ||
        h > uint32_t(std::numeric_limits<int32_t>::max()) - kMaskBytes - kMaxColours * 4)
        Fail(Failure::InvalidImage);

    header.raw.assign(sizeField, sizeField + 4);
    AppendUpTo(source, header.raw, h - 4);  // a short header is not an error: zeros stand in
    uint8_t fields[kInfoHeaderSize] = {};
    std::memcpy(fields, header.raw.data(), std::min<size_t>(header.raw.size(), kInfoHeaderSize));
    header.info = ParseInfoHeader(fields);
    Consume(remaining, h);
    return header;
}

bool KeepsFileBytes(const DibHeader& header) {
    // Only run-length pictures of their own depth: any other compression is refused by
    // ReadDibTables before a pixel byte is read, and keeping its bytes first would copy the
    // whole file only to refuse it.
    const uint32_t c = header.info.biCompression, bits = header.info.biBitCount;
    return !header.fromCoreHeader && ((c == kBiRle8 && bits == 8) || (c == kBiRle4 && bits == 4));
}

std::vector<uint8_t> BuildSavedFileBytes(const FileHeader* fileHeader, const DibHeader& header,
                                         ByteSource& source, uint64_t remaining, uint64_t available) {
    FileHeader f;
    if (fileHeader) {
        f = *fileHeader;
    } else {
        f.bfType = kBmSignature;
        uint64_t total = remaining + header.headerSize;
        f.bfSize = total > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(total);
    }
    std::vector<uint8_t> bytes(kFileHeaderSize + header.raw.size());
    // Room for all of it at once where the source is known to hold it: growing in steps
    // would move the bytes and, for a while, hold them twice.
    bytes.reserve(bytes.size() + static_cast<size_t>(std::min(remaining, available)));
    Put16(&bytes[0], f.bfType);
    Put32(&bytes[2], f.bfSize);
    Put16(&bytes[6], f.bfReserved1);
    Put16(&bytes[8], f.bfReserved2);
    Put32(&bytes[10], f.bfOffBits);
    std::copy(header.raw.begin(), header.raw.end(), bytes.begin() + kFileHeaderSize);
    // A header cut short by the end of the data stays short: `remaining` is then 0, and
    // padding it out to the size it claims could cost gigabytes.
    if (AppendUpTo(source, bytes, remaining) != remaining) Fail(Failure::ReadError);
    return bytes;
}

DibLayout ReadDibTables(ByteSource& source, DibHeader header, uint64_t& remaining) {
    DibLayout layout;
    InfoHeader& info = header.info;
    if (info.biPlanes != 1) Fail(Failure::InvalidImage);

    const bool bitfields = info.biCompression == kBiBitfields &&
                           (info.biBitCount == 16 || info.biBitCount == 32);
    if (bitfields) {
        if (header.headerSize == kInfoHeaderSize) {
            uint8_t raw[kMaskBytes];
            ReadExactly(source, raw, sizeof raw);
            Consume(remaining, kMaskBytes);
            for (int i = 0; i < 3; ++i) layout.masks[i] = Get32(raw + 4 * i);
        } else {
            // Later header versions carry the masks at offset 40; a header too short to
            // hold them all leaves the missing ones 0.
            for (int i = 0; i < 3; ++i) {
                size_t at = kInfoHeaderSize + 4 * i;
                if (at + 4 <= header.raw.size()) layout.masks[i] = Get32(&header.raw[at]);
            }
        }
    }

    // A bit-field picture without bits for one of its channels cannot be made (the
    // platform refuses it, without saying why): refuse it here, the same everywhere.
    if (bitfields && (!layout.masks[0] || !layout.masks[1] || !layout.masks[2])) Fail(Failure::InvalidImage);

    if (info.biClrUsed == 0) {
        if (info.biBitCount == 1) info.biClrUsed = 2;
        else if (info.biBitCount == 4) info.biClrUsed = 16;
        else if (info.biBitCount == 8) info.biClrUsed = 256;
    }
    if (info.biClrUsed > kMaxColours) Fail(Failure::InvalidImage);
    layout.colourCount = info.biClrUsed;

    const uint32_t entrySize = header.fromCoreHeader ? 3 : 4;
    const uint32_t tableBytes = layout.colourCount * entrySize;
    ReadExactly(source, layout.colours, tableBytes);
    Consume(remaining, tableBytes);
    if (header.fromCoreHeader) {
        // Widen RGBTRIPLE to RGBQUAD in place, last entry first so nothing is overwritten
        // before it is moved.
        for (uint32_t i = layout.colourCount; i-- > 1;) {
            std::memmove(&layout.colours[i * 4], &layout.colours[i * 3], 3);  // may overlap
            layout.colours[i * 4 + 3] = 0;
        }
        layout.colours[3] = 0;
    }

    // The picture must be one the platform can make, of a size that can be allocated.
    if (!DepthFitsCompression(info.biBitCount, info.biCompression)) Fail(Failure::InvalidImage);
    if (info.biWidth <= 0 || info.biHeight == 0 ||
        info.biHeight == std::numeric_limits<int32_t>::min())
        Fail(Failure::InvalidImage);
    layout.compressed = info.biCompression == kBiRle8 || info.biCompression == kBiRle4;
    layout.topDown = info.biHeight < 0;
    if (layout.compressed && layout.topDown) Fail(Failure::InvalidImage);  // no top-down runs
    layout.width = static_cast<uint32_t>(info.biWidth);
    layout.height = layout.topDown ? static_cast<uint32_t>(-static_cast<int64_t>(info.biHeight))
                                   : static_cast<uint32_t>(info.biHeight);
    uint64_t stride = RowStride(layout.width, info.biBitCount);
    uint64_t store = stride * layout.height;
    if (stride == 0 || store > kMaxPixelBytes) Fail(Failure::InvalidImage);
    // Run-length pictures become device bitmaps of the screen's format, up to 4 bytes a
    // pixel: that store must fit the same bound.
    if (layout.compressed && uint64_t(layout.width) * layout.height * 4 > kMaxPixelBytes)
        Fail(Failure::InvalidImage);
    layout.stride = static_cast<uint32_t>(stride);
    layout.pixelStoreBytes = static_cast<uint32_t>(store);

    if (info.biSizeImage == 0) info.biSizeImage = layout.pixelStoreBytes;
    uint64_t toRead = std::min<uint64_t>(info.biSizeImage, remaining);
    // Never more than the pixel store holds, whatever biSizeImage says.
    if (!layout.compressed) toRead = std::min<uint64_t>(toRead, layout.pixelStoreBytes);
    layout.pixelBytesToRead = static_cast<uint32_t>(toRead);

    layout.header = std::move(header);
    return layout;
}

namespace {

// Writes pixel indices into the bottom-up store, dropping whatever falls outside it.
class RunWriter {
public:
    RunWriter(const DibLayout& layout, uint8_t* pixels)
        : pixels_(pixels), stride_(layout.stride), width_(layout.width), height_(layout.height),
          fourBit_(layout.header.info.biCompression == kBiRle4) {}

    bool Done() const { return y_ >= height_; }
    void Put(uint8_t index) {
        if (x_ < width_ && y_ < height_) {
            uint8_t* row = pixels_ + static_cast<size_t>(y_) * stride_;
            if (fourBit_) {
                uint8_t& b = row[x_ / 2];
                b = (x_ & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
            } else {
                row[x_] = index;
            }
        }
        if (x_ < width_) ++x_;
    }
    void EndOfLine() { x_ = 0; ++y_; }
    void Move(uint32_t dx, uint32_t dy) {
        x_ = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(x_) + dx, width_));
        y_ = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(y_) + dy, height_));
    }
    void End() { y_ = height_; }

private:
    uint8_t* pixels_;
    uint32_t stride_, width_, height_;
    bool fourBit_;
    uint32_t x_ = 0, y_ = 0;
};

}  // namespace

void DecodeRunLength(const DibLayout& layout, const uint8_t* data, size_t size, uint8_t* pixels) {
    const bool fourBit = layout.header.info.biCompression == kBiRle4;
    RunWriter out(layout, pixels);
    size_t i = 0;
    while (!out.Done() && i + 2 <= size) {
        uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (uint32_t k = 0; k < count; ++k)
                out.Put(fourBit ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0: out.EndOfLine(); break;
        case 1: out.End(); break;
        case 2:
            if (i + 2 > size) return;
            out.Move(data[i], data[i + 1]);
            i += 2;
            break;
        default: {
            // Absolute run of `value` pixels, padded to a 16-bit boundary.
            size_t bytes = fourBit ? (value + 1u) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t(1);
            size_t available = std::min(bytes, size - i);
            for (uint32_t k = 0; k < value; ++k) {
                size_t at = fourBit ? k / 2 : k;
                if (at >= available) return;
                uint8_t b = data[i + at];
                out.Put(fourBit ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            i += std::min(padded, size - i);
        }
        }
    }
}

DecodedBitmap DecodeBmpFile(const uint8_t* data, size_t size) {
    DecodedBitmap result;
    if (size == 0) {
        result.empty = true;
        return result;
    }
    MemorySource source(data, size);
    FileHeader fileHeader = ReadFileHeader(source);
    uint64_t remaining = size - kFileHeaderSize;
    DibHeader header = ReadDibHeader(source, remaining);

    if (KeepsFileBytes(header)) {
        result.savedBytes = BuildSavedFileBytes(&fileHeader, header, source, remaining, remaining);
        MemorySource saved(result.savedBytes.data(), result.savedBytes.size());
        saved.Seek(kFileHeaderSize + header.headerSize);
        result.layout = ReadDibTables(saved, std::move(header), remaining);
        // The runs are decoded where they lie in the kept bytes.
        const size_t runs = saved.Position();
        if (result.savedBytes.size() - runs < result.layout.pixelBytesToRead) Fail(Failure::ReadError);
        result.pixels.assign(result.layout.pixelStoreBytes, 0);
        DecodeRunLength(result.layout, result.savedBytes.data() + runs, result.layout.pixelBytesToRead,
                        result.pixels.data());
        return result;
    }

    result.layout = ReadDibTables(source, std::move(header), remaining);
    result.pixels.assign(result.layout.pixelStoreBytes, 0);
    if (source.Read(result.pixels.data(), result.layout.pixelBytesToRead) !=
        result.layout.pixelBytesToRead)
        Fail(Failure::ReadError);
    return result;
}

}  // namespace bmp
