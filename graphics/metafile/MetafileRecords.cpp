#include "graphics/metafile/MetafileRecords.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

#include "graphics/PixelLimits.h"

namespace mf {

PlaceableHeader ParsePlaceableHeader(const uint8_t* p) {
    PlaceableHeader h;
    h.key = Get32(p);
    h.left = static_cast<int16_t>(Get16(p + 6));
    h.top = static_cast<int16_t>(Get16(p + 8));
    h.right = static_cast<int16_t>(Get16(p + 10));
    h.bottom = static_cast<int16_t>(Get16(p + 12));
    h.inch = Get16(p + 14);
    h.checksum = Get16(p + 20);
    for (int i = 0; i < 10; ++i) h.expectedChecksum ^= Get16(p + 2 * i);
    return h;
}

void WritePlaceableHeader(uint8_t* p, int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch) {
    Put32(p, kPlaceableKey);
    Put16(p + 4, 0);
    Put16(p + 6, static_cast<uint16_t>(left));
    Put16(p + 8, static_cast<uint16_t>(top));
    Put16(p + 10, static_cast<uint16_t>(right));
    Put16(p + 12, static_cast<uint16_t>(bottom));
    Put16(p + 14, inch);
    Put32(p + 16, 0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= Get16(p + 2 * i);
    Put16(p + 20, sum);
}

EmfHeader ParseEmfHeader(const uint8_t* p) {
    EmfHeader h;
    h.type = Get32(p);
    h.size = Get32(p + 4);
    h.frameLeft = GetInt32(p + 24);
    h.frameTop = GetInt32(p + 28);
    h.frameRight = GetInt32(p + 32);
    h.frameBottom = GetInt32(p + 36);
    h.signature = Get32(p + 40);
    h.bytes = Get32(p + 48);
    h.records = Get32(p + 52);
    h.handles = Get16(p + 56);
    h.descriptionChars = Get32(p + 60);
    h.descriptionOffset = Get32(p + 64);
    h.paletteEntries = Get32(p + 68);
    h.deviceWidth = GetInt32(p + 72);
    h.deviceHeight = GetInt32(p + 76);
    h.millimetresWidth = GetInt32(p + 80);
    h.millimetresHeight = GetInt32(p + 84);
    return h;
}

bool LooksLikeEmfHeader(const uint8_t* p) { return Get32(p) == kEmrHeader && Get32(p + 40) == kEmfSignature; }

// The player stores the new object over whatever the slot holds; the picture's own player
// deletes what a slot held before such a record, so a taken slot costs nothing.
bool CreatesEnhancedObject(uint32_t type) {
    return type == 38 || type == 39 || type == 49 || type == 82 || type == 93 || type == 94 || type == 95;
}

namespace {

// A walk's refusal: what is wrong and where.
WalkResult Refused(const char* problem, size_t offset) {
    WalkResult refused;
    refused.problem = problem;
    refused.offset = offset;
    return refused;
}

using Problem = const char*;

constexpr uint64_t kInt32Max = 0x7FFFFFFF;

bool FitsInt32(int64_t v) { return v >= -static_cast<int64_t>(kInt32Max) - 1 && v <= static_cast<int64_t>(kInt32Max); }

// The colour use GDI records for a pattern brush made from a monochrome bitmap: no colour
// table follows the header, and the player makes a 1-bit bitmap straight from the bits.
constexpr uint32_t kMonoPatternUsage = 2;

// A device-independent bitmap's header and colour table, as the player will take them: `bmi`
// has `available` bytes. Gives the bytes the header and table take and the pixel bytes the
// player will read after them.
Problem CheckDib(const uint8_t* bmi, uint64_t available, uint32_t usage, uint64_t& tableEnd, uint64_t& imageBytes) {
    if (usage > 1 && usage != kMonoPatternUsage) return "bitmap colour use unknown";
    if (available < 40) return "bitmap header cut short";
    const uint32_t headerSize = Get32(bmi);
    if (headerSize < 40 || headerSize > available) return "bitmap header size wrong";
    const int32_t width = GetInt32(bmi + 4), height = GetInt32(bmi + 8);
    const uint16_t planes = Get16(bmi + 12), bits = Get16(bmi + 14);
    const uint32_t compression = Get32(bmi + 16), sizeImage = Get32(bmi + 20), used = Get32(bmi + 32);
    if (width <= 0 || width > 0xFFFF || height == 0 || height < -0xFFFF || height > 0xFFFF)
        return "bitmap dimensions out of range";
    if (planes != 1) return "bitmap plane count wrong";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return "bitmap depth wrong";
    const bool rle = compression == 1 || compression == 2;
    if (compression == 1 && bits != 8) return "run-length depth wrong";
    if (compression == 2 && bits != 4) return "run-length depth wrong";
    if (compression == 3 && bits != 16 && bits != 32) return "bit-field depth wrong";
    if (compression > 3) return "bitmap compression refused";
    if (rle && height < 0) return "top-down run-length bitmap";
    if (usage == kMonoPatternUsage && bits != 1) return "monochrome pattern not of one bit";
    uint64_t colours = used;
    if (usage == kMonoPatternUsage) {
        colours = 0;
    } else if (bits <= 8) {
        if (colours > (1u << bits)) return "colour count past the depth";
        if (colours == 0) colours = 1u << bits;
    } else if (colours > 256) {
        return "colour count past 256";
    }
    // The player takes the three bit-field masks as part of any header shorter than the one
    // that holds them (52 bytes), so the colours and pixels start no earlier than byte 52.
    const uint64_t masksEnd = 40 + 12;
    const uint64_t headerEnd = compression == 3 && headerSize < masksEnd ? masksEnd : headerSize;
    tableEnd = headerEnd + colours * (usage == 1 ? 2 : 4);
    if (tableEnd > available) return "colour table past the bitmap header's bytes";
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    // The player makes a device bitmap of the picture, up to 4 bytes a pixel, at every play,
    // and expands a run-length picture to its own depth beside it first. A few bytes of runs
    // can claim gigabytes: what is made must fit the bound every reader keeps.
    const uint64_t made = static_cast<uint64_t>(width) * rows * 4 + (rle ? stride * rows : 0);
    if (made > kMaxPicturePixelBytes) return "bitmap larger than a picture may be";
    if (rle) {
        if (sizeImage == 0) return "run-length size missing";
        imageBytes = sizeImage;
    } else {
        imageBytes = stride * rows;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Enhanced metafiles

// The most slots a header's 16-bit count gives a handle or object table.
constexpr uint32_t kMostSlots = 0xFFFF;

// A record; every read is inside it. `slotsNamed` is raised to one past each handle slot the
// record names, so that the table handed to the player holds them all.
struct EmfRecord {
    const uint8_t* p;
    uint32_t size;
    uint32_t* slotsNamed;

    bool Has(uint64_t offset, uint64_t bytes) const { return offset + bytes <= size; }
    uint32_t At(uint32_t offset) const { return Get32(p + offset); }
    // A handle slot the record creates or uses: slot 0 stands for the metafile itself.
    Problem Slot(uint32_t offset) const {
        const uint32_t index = At(offset);
        if (index == 0 || index >= kMostSlots) return "object index outside the handle table";
        if (index >= *slotsNamed) *slotsNamed = index + 1;
        return nullptr;
    }
    // The same, or a stock object (high bit set).
    Problem SlotOrStock(uint32_t offset) const { return At(offset) & 0x80000000u ? nullptr : Slot(offset); }
    // A bitmap given by offset and size of its header and of its bits.
    // Only a monochrome brush record may have the colour use of a monochrome pattern.
    // `intoSection`: the player makes a bitmap section from the header and copies all the
    // record's bits into it, so they must be no more than the section holds.
    Problem Dib(uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits, uint32_t usage,
                bool monoBrush = false, bool intoSection = false) const {
        if (At(usage) == kMonoPatternUsage && !monoBrush) return "bitmap colour use unknown";
        const uint64_t ob = At(offBmi), cb = At(cbBmi), obits = At(offBits), cbits = At(cbBits);
        if (ob < 8 || ob + cb > size) return "bitmap header outside the record";
        if (obits + cbits > size) return "bitmap bits outside the record";
        uint64_t tableEnd = 0, imageBytes = 0;
        if (Problem p = CheckDib(this->p + ob, cb, At(usage), tableEnd, imageBytes)) return p;
        if (imageBytes > cbits) return "bitmap bits shorter than the picture";
        if (intoSection) {
            const uint32_t compression = Get32(this->p + ob + 16);
            if (compression == 1 || compression == 2) return "run-length bitmap for a section";
            if (cbits > imageBytes) return "bitmap bits longer than the picture";
        }
        return nullptr;
    }
    // A region's data (RGNDATA) of `bytes` bytes at `offset`: a whole header, and the
    // rectangles it counts inside the data. The player reads the header wherever the record
    // holds one, whatever the record's own count says.
    Problem Region(uint32_t offset, uint64_t bytes) const {
        if (offset + bytes > size) return "region data outside the record";
        if (bytes < 32) return "region header cut short";
        if (Get32(p + offset) != 32 || Get32(p + offset + 4) != 1) return "region header wrong";
        if (32 + static_cast<uint64_t>(Get32(p + offset + 8)) * 16 > bytes) return "region rectangles past its data";
        return nullptr;
    }
    // `count` items of `itemBytes` from `offset`.
    Problem Items(uint64_t offset, uint64_t count, uint64_t itemBytes) const {
        return offset + count * itemBytes > size ? "items past the record's end" : nullptr;
    }
};

// The smallest size of each record type that is played; 0 for types that are refused
// (escapes that would reach the printer's driver, colour-management and OpenGL records, and
// the rare blits and text forms that have no use in a picture file).
uint32_t MinimumRecordSize(uint32_t type) {
    switch (type) {
    case 1: return 88;
    case 2: case 3: case 4: case 5: case 6: return 28;
    case 7: case 8: return 32;
    case 9: case 10: case 11: case 12: case 13: return 16;
    case 14: case 15: return 20;
    case 16: case 17: case 18: case 19: case 20: case 21: case 22: return 12;
    case 23: return 32;
    case 24: case 25: return 12;
    case 26: case 27: return 16;
    case 28: return 8;
    case 29: case 30: case 31: case 32: return 24;
    case 33: return 8;
    case 34: return 12;
    case 35: return 32;
    case 36: return 36;
    case 37: return 12;
    case 38: return 28;
    case 39: return 24;
    case 40: return 12;
    case 41: return 28;
    case 42: case 43: return 24;
    case 44: return 32;
    case 45: case 46: case 47: return 40;
    case 48: return 12;
    case 49: return 16;
    case 50: return 20;
    case 51: return 16;
    case 52: return 8;
    case 53: return 24;
    case 54: return 16;
    case 55: return 40;
    case 56: return 28;
    case 57: case 58: return 12;
    case 59: case 60: case 61: return 8;
    case 62: case 63: case 64: return 24;
    case 65: case 66: return 8;
    case 67: return 12;
    case 68: return 8;
    case 70: return 12;
    case 71: return 32;
    case 72: return 40;
    case 73: case 74: return 28;
    case 75: return 16;
    case 76: return 100;
    case 77: return 108;
    case 80: return 76;
    case 81: return 80;
    case 82: return 104;
    case 83: case 84: return 76;
    case 85: case 86: case 87: case 88: case 89: return 28;
    case 90: case 91: return 32;
    case 92: return 28;
    case 93: case 94: return 32;
    case 95: return 52;
    case 98: return 12;
    case 114: return 108;
    case 115: return 12;
    case 116: return 108;
    case 118: return 36;
    case 120: return 16;
    default: return 0;
    }
}

constexpr uint32_t kPublicComment = 0x43494447;  // "GDIC"
constexpr uint32_t kMultiformatsComment = 0x40000004;

// A brush style the player can make from the record alone: solid, hollow or hatched. The
// pattern styles take a pointer or a handle from the record's bytes.
bool PlainBrushStyle(uint32_t style) { return style <= 2; }

Problem CheckEnhancedContents(uint32_t type, const EmfRecord& r) {
    switch (type) {
    case 2: case 3: case 4: case 5: case 6:  // polylines, 32-bit points
        return r.Items(28, r.At(24), 8);
    case 85: case 86: case 87: case 88: case 89:  // 16-bit points
        return r.Items(28, r.At(24), 4);
    case 7: case 8: case 90: case 91: {  // poly-polylines: counts, then points
        const uint64_t polys = r.At(24), points = r.At(28);
        if (Problem p = r.Items(32, polys, 4)) return p;
        uint64_t sum = 0;
        for (uint64_t i = 0; i < polys; ++i) sum += r.At(static_cast<uint32_t>(32 + 4 * i));
        if (sum > points) return "polygon counts past the point count";
        return r.Items(32 + 4 * polys, points, type <= 8 ? 8 : 4);
    }
    case 56: return r.Items(28, r.At(24), 9);  // points then one type byte each
    case 92: return r.Items(28, r.At(24), 5);
    case 14: {  // end of file, with the palette
        const uint64_t entries = r.At(8);
        if (entries == 0) return nullptr;
        return r.Items(r.At(12), entries, 4);
    }
    case 37: return r.SlotOrStock(8);
    case 40: return r.Slot(8);
    case 48: return r.SlotOrStock(8);
    case 38: return r.Slot(8);
    case 39:
        if (!PlainBrushStyle(r.At(12))) return "brush style refused";
        return r.Slot(8);
    case 49:
        if (Problem p = r.Slot(8)) return p;
        return r.Items(16, Get16(r.p + 14), 4);
    case 50:
        if (Problem p = r.Slot(8)) return p;
        return r.Items(20, r.At(16), 4);
    case 51:  // the platform's palettes hold no more than 1,024 entries
        if (r.At(12) > 1024) return "palette resized past 1,024 entries";
        return r.Slot(8);
    case 70:  // comments are not drawn, but the platform may play a form of a public comment
              // of several formats (other enhanced metafiles, or PostScript for the printer's
              // driver) instead of the records around it. No writer of the pictures read here
              // makes one, and its forms would go unwalked.
        if (Problem p = r.Items(12, r.At(8), 1)) return p;
        if (r.Has(12, 8) && r.At(12) == kPublicComment && r.At(16) == kMultiformatsComment)
            return "comment of several formats refused";
        return nullptr;
    case 71:
        if (Problem p = r.Slot(28)) return p;
        return r.Region(32, r.At(24));
    case 72:
        if (Problem p = r.Slot(28)) return p;
        return r.Region(40, r.At(24));
    case 73: case 74: return r.Region(28, r.At(24));
    case 75:  // no region only clears the clip (RGN_COPY), in a record of the fixed fields alone
        if (r.At(8) == 0 && r.At(12) != 5) return "clip region missing";
        if (r.At(8) == 0) return r.size == 16 ? nullptr : "bytes after a cleared clip";
        return r.Region(16, r.At(8));
    case 76: case 77:  // blits: the source bitmap is optional
        if (r.At(84) == 0) return nullptr;
        return r.Dib(84, 88, 92, 96, 80);
    case 114: case 116: return r.Dib(84, 88, 92, 96, 80, false, true);
    case 80:
        if (Problem p = r.Dib(48, 52, 56, 60, 64)) return p;
        {
            const int64_t height = GetInt32(r.p + r.At(48) + 8);
            if (r.At(72) > static_cast<uint64_t>(height < 0 ? -height : height)) return "scan count past the bitmap";
        }
        return nullptr;
    case 81: return r.Dib(48, 52, 56, 60, 64);
    case 82: return r.Slot(8);
    case 83: case 84: {  // text: string and optional spacing inside the record
        const uint64_t chars = r.At(44), options = r.At(52);
        if (Problem p = r.Items(r.At(48), chars, type == 84 ? 2 : 1)) return p;
        if (r.At(72) == 0) return nullptr;
        return r.Items(r.At(72), chars, options & 0x2000 ? 8 : 4);
    }
    case 93: case 94:
        if (Problem p = r.Slot(8)) return p;
        return r.Dib(16, 20, 24, 28, 12, type == 93);
    case 95: {
        if (Problem p = r.Slot(8)) return p;
        if (!PlainBrushStyle(r.At(36))) return "pen brush style refused";
        const uint64_t entries = r.At(48);
        if (entries > 16) return "pen style entries past 16";
        return r.Items(52, entries, 4);
    }
    case 118: {  // gradient fill: vertices, then rectangles or triangles of vertex indexes
        const uint64_t vertices = r.At(24), shapes = r.At(28), mode = r.At(32);
        if (mode > 2) return "gradient mode unknown";
        const uint64_t indexes = mode == 2 ? 3 : 2;
        if (Problem p = r.Items(36, vertices, 16)) return p;
        const uint64_t first = 36 + vertices * 16;
        if (Problem p = r.Items(first, shapes, indexes * 4)) return p;
        for (uint64_t i = 0; i < shapes * indexes; ++i)
            if (r.At(static_cast<uint32_t>(first + 4 * i)) >= vertices) return "gradient vertex index outside the vertices";
        return nullptr;
    }
    default: return nullptr;  // fixed fields only: the minimum size covers them
    }
}

}  // namespace

WalkResult CheckEnhancedMetafile(const uint8_t* data, size_t size) {
    if (size < kEmfHeaderSize) return Refused("shorter than the header", 0);
    const EmfHeader h = ParseEmfHeader(data);
    if (h.type != kEmrHeader || h.signature != kEmfSignature) return Refused("not an enhanced metafile", 0);
    if (h.size < 88 || h.size % 4 || h.size > size) return Refused("header record size wrong", 4);
    if (h.descriptionChars && static_cast<uint64_t>(h.descriptionOffset) + 2ull * h.descriptionChars > h.size)
        return Refused("description outside the header", 60);
    // The pixel-format fields (88 to 100) belong to the longer header only: the original one
    // is 88 bytes, and a description may follow it straight away.
    const bool extended = h.size >= 100 && (h.descriptionChars == 0 || h.descriptionOffset >= 100);
    if (extended) {
        const uint64_t cb = Get32(data + 88), off = Get32(data + 92);
        if (cb && off + cb > h.size) return Refused("pixel format outside the header", 88);
    }
    if (h.deviceWidth <= 0 || h.deviceHeight <= 0) return Refused("reference device has no pixels", 72);
    if (h.millimetresWidth <= 0 || h.millimetresHeight <= 0 || h.millimetresWidth > 21474836 ||
        h.millimetresHeight > 21474836)
        return Refused("reference device size out of range", 80);
    if (!FitsInt32(static_cast<int64_t>(h.frameRight) - h.frameLeft) ||
        !FitsInt32(static_cast<int64_t>(h.frameBottom) - h.frameTop))
        return Refused("frame out of range", 24);

    // The player walks by the records' sizes and stops at the end-of-file record: what
    // follows it is never played, and is not handed over.
    WalkResult walked;
    uint32_t slotsNamed = 1;
    std::vector<bool> taken(kMostSlots);
    for (size_t offset = 0;;) {
        if (offset == size) return Refused("no end-of-file record", size);
        if (size - offset < 8) return Refused("record header cut short", offset);
        const uint32_t type = Get32(data + offset), recordSize = Get32(data + offset + 4);
        if (recordSize == 0) return Refused("record of size zero", offset);
        if (recordSize % 4) return Refused("record size not a multiple of 4", offset);
        if (recordSize > size - offset) return Refused("record runs past the end", offset);
        if ((type == kEmrHeader) != (offset == 0)) return Refused("header record out of place", offset);
        const uint32_t minimum = MinimumRecordSize(type);
        if (minimum == 0) return Refused("record type refused", offset);
        if (recordSize < minimum) return Refused("record smaller than its fields", offset);
        const EmfRecord record{data + offset, recordSize, &slotsNamed};
        if (Problem p = CheckEnhancedContents(type, record)) return Refused(p, offset);
        if (CreatesEnhancedObject(type)) {  // the contents' check kept the slot inside the table
            walked.slotsRetaken = walked.slotsRetaken || taken[record.At(8)];
            taken[record.At(8)] = true;
        }
        if (type == 40) taken[record.At(8)] = false;
        ++walked.records;
        offset += recordSize;
        if (type == kEmrEof) {
            walked.length = offset;
            walked.paletteEntries = record.At(8);
            walked.lastRecordSize = recordSize;
            break;
        }
    }
    // The header's counts, as the records have them. The player allocates the handle table
    // by the count and may copy as many palette entries as the header says from the
    // end-of-file record: the copy says what the records need and hold.
    walked.objects = std::max<uint32_t>(h.handles, slotsNamed);
    return walked;
}

size_t RepairEnhancedHeader(uint8_t* data, const WalkResult& walked) {
    Put32(data + 48, static_cast<uint32_t>(walked.length));
    Put32(data + 52, walked.records);
    Put16(data + 56, static_cast<uint16_t>(walked.objects));
    Put32(data + 68, walked.paletteEntries);
    Put32(data + walked.length - 4, walked.lastRecordSize);
    return walked.length;
}

// ---------------------------------------------------------------------------------------
// Windows metafiles

namespace {

// A record: `words` 16-bit words from `p` (size and function included); parameters follow
// the 6-byte record header.
struct WmfRecord {
    const uint8_t* p;
    uint64_t words;
    uint32_t* slotsNamed;  // raised to one past each object index the record names

    uint64_t Params() const { return words - 3; }
    uint16_t Param(uint64_t i) const { return Get16(p + 6 + 2 * i); }
    Problem Need(uint64_t params) const { return params > Params() ? "record smaller than its fields" : nullptr; }
    Problem Object(uint64_t i) const {
        if (Problem p = Need(i + 1)) return p;
        if (Param(i) >= kMostSlots) return "object index outside the object table";
        *slotsNamed = std::max<uint32_t>(*slotsNamed, Param(i) + 1u);
        return nullptr;
    }
    // A packed bitmap (header, colours, bits) from parameter word `first` to the record's end.
    Problem PackedDib(uint64_t first, uint32_t usage) const {
        if (usage > 1) return "bitmap colour use unknown";
        if (Problem p = Need(first)) return p;
        const uint64_t available = (Params() - first) * 2;
        uint64_t tableEnd = 0, imageBytes = 0;
        if (Problem p = CheckDib(this->p + 6 + 2 * first, available, usage, tableEnd, imageBytes)) return p;
        if (tableEnd + imageBytes > available) return "bitmap bits past the record's end";
        return nullptr;
    }
};

// A region record: its header of 11 words, then scans of (count, top, bottom, count
// x-coordinates, count again).
Problem CheckWmfRegion(const WmfRecord& r) {
    if (Problem p = r.Need(11)) return p;
    uint64_t at = 11;
    for (uint32_t scan = 0; scan < r.Param(5); ++scan) {
        if (Problem p = r.Need(at + 1)) return p;
        const uint64_t count = r.Param(at);
        if (count % 2) return "region scan with an odd count";
        if (Problem p = r.Need(at + 3 + count + 1)) return p;
        if (r.Param(at + 3 + count) != count) return "region scan counts differ";
        at += count + 4;
    }
    return nullptr;
}

// Records that make an object: the player puts it into the lowest free slot of the object
// table and, when none is free, drops it without deleting it.
bool CreatesWindowsObject(uint16_t function) {
    return function == 0x02FA || function == 0x02FC || function == 0x02FB || function == 0x00F7 ||
           function == 0x06FF || function == 0x0142;
}

// The object table as the player fills it, with as many slots as the records come to need:
// the copy's header asks for that many, so no object is dropped.
class ObjectTable {
public:
    // The lowest free slot; false when even the largest table would be full.
    bool Make() {
        if (!freed_.empty()) {
            taken_[freed_.top()] = true;
            freed_.pop();
            return true;
        }
        if (used_ == kMostSlots) return false;
        taken_[used_++] = true;
        return true;
    }
    void Delete(uint16_t slot) {
        if (slot >= used_ || !taken_[slot]) return;
        taken_[slot] = false;
        freed_.push(slot);
    }
    uint32_t Used() const { return used_; }

private:
    std::vector<bool> taken_ = std::vector<bool>(kMostSlots);
    uint32_t used_ = 0;  // slots ever taken: from 0 up
    std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<uint32_t>> freed_;
};

// An enhanced metafile carried in comment escapes, as the platform writes it when it turns an
// enhanced metafile into a Windows one. The platform's reader takes that enhanced metafile
// instead of the records, so it must pass the enhanced walk too, and be assembled only as the
// format defines it: one run of chunk records one after the other, as many as the count they
// all give, each where the bytes remaining after it say, and a checksum that holds (below).
// Each comment holds a 34-byte header (magic "WMFC", type 1, version 0x10000, checksum,
// flags, chunk count, this chunk's size, the bytes remaining after it, the whole size) and
// then its chunk.
constexpr uint32_t kEmbeddedEmfMagic = 0x43464D57;
constexpr uint64_t kEmbeddedEmfHeaderSize = 34;

struct EmbeddedEmf {
    bool present = false;  // a first chunk was seen
    bool open = false;     // and more are to come
    uint32_t size = 0, chunks = 0, seen = 0;
    uint16_t checksum = 0;
    std::vector<uint8_t> bytes;

    // A record that holds no chunk: none may come between two chunks.
    Problem Other() const { return open ? "embedded enhanced metafile chunks apart" : nullptr; }
    // A comment of `count` bytes at `c`.
    Problem Add(const uint8_t* c, uint64_t count) {
        if (count < 4 || Get32(c) != kEmbeddedEmfMagic) return Other();
        if (count < kEmbeddedEmfHeaderSize) return "embedded enhanced metafile header cut short";
        if (Get32(c + 4) != 1 || Get32(c + 8) != 0x10000) return "embedded enhanced metafile of unknown form";
        const uint32_t chunk = Get32(c + 22), remaining = Get32(c + 26), whole = Get32(c + 30);
        if (chunk > count - kEmbeddedEmfHeaderSize) return "embedded enhanced metafile chunk past its comment";
        if (!present) {
            present = open = true;
            size = whole;
            chunks = Get32(c + 18);
            checksum = Get16(c + 12);
        } else if (!open) {
            return "a second embedded enhanced metafile";
        } else if (whole != size || Get32(c + 18) != chunks) {
            return "embedded enhanced metafile chunks differ";
        }
        if (chunk > size - bytes.size()) return "embedded enhanced metafile chunks past its size";
        bytes.insert(bytes.end(), c + kEmbeddedEmfHeaderSize, c + kEmbeddedEmfHeaderSize + chunk);
        if (remaining != size - bytes.size()) return "embedded enhanced metafile chunks out of order";
        if (++seen > chunks) return "embedded enhanced metafile chunks past their count";
        open = remaining != 0;
        return open || seen == chunks ? nullptr : "embedded enhanced metafile chunks short of their count";
    }
    // The platform takes this metafile as the comments hold it, unrepaired: its header
    // must already say what its records need. The platform's conversion plays it with its
    // own player, which would keep an object pushed out of its slot alive.
    // `wmf` is the whole Windows metafile, `wmfBytes` long, as the file holds it.
    Problem Check(const uint8_t* wmf, size_t wmfBytes) const {
        if (!present) return nullptr;
        if (open || bytes.size() != size) return "embedded enhanced metafile incomplete";
        if (!ChecksumHolds(wmf, wmfBytes)) return "embedded enhanced metafile checksum wrong";
        const WalkResult walked = CheckEnhancedMetafile(bytes.data(), bytes.size());
        if (!walked.ok()) return "embedded enhanced metafile refused";
        if (walked.slotsRetaken) return "embedded enhanced metafile makes an object into a taken slot";
        const uint8_t* header = bytes.data();
        if (Get32(header + 48) != size || walked.length != size || Get16(header + 56) < walked.objects ||
            Get32(header + 68) > walked.paletteEntries)
            return "embedded enhanced metafile's header differs from its records";
        if (Get32(header + size - 4) != walked.lastRecordSize) return "embedded enhanced metafile's last size wrong";
        return nullptr;
    }
    // Writers differ in the checksum: the platform's own makes the 16-bit words of the whole
    // Windows metafile add up to 0, LibreOffice makes it and the XOR of the carried
    // metafile's words add up to 0. Either shows the chunks are those that were written.
    bool ChecksumHolds(const uint8_t* wmf, size_t wmfBytes) const {
        uint16_t sum = 0, xored = 0;
        for (size_t i = 0; i + 1 < wmfBytes; i += 2) sum = static_cast<uint16_t>(sum + Get16(wmf + i));
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) xored ^= Get16(bytes.data() + i);
        return sum == 0 || static_cast<uint16_t>(xored + checksum) == 0;
    }
};

Problem CheckWindowsRecord(const WmfRecord& r) {
    const uint16_t function = static_cast<uint16_t>(Get16(r.p + 4));
    switch (function) {
    // Fixed parameters: the function number's high byte is their word count.
    case 0x0201: case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107:
    case 0x0108: case 0x0209: case 0x020A: case 0x020B: case 0x020C: case 0x020D: case 0x020E:
    case 0x020F: case 0x0410: case 0x0211: case 0x0412: case 0x0213: case 0x0214: case 0x0415:
    case 0x0416: case 0x0817: case 0x0418: case 0x0419: case 0x081A: case 0x041B: case 0x061C:
    case 0x061D: case 0x001E: case 0x041F: case 0x0220: case 0x0830: case 0x0231: case 0x012E:
    case 0x0127: case 0x0035: case 0x0548: case 0x0149:
        return r.Need(function >> 8);
    case 0x012D: case 0x01F0: case 0x012C: case 0x012A: case 0x012B:  // select, delete, region uses
        return r.Object(0);
    case 0x0228:  // fill region: region, brush
        if (Problem p = r.Object(0)) return p;
        return r.Object(1);
    case 0x0429:
        if (Problem p = r.Object(0)) return p;
        if (Problem p = r.Object(1)) return p;
        return r.Need(4);
    case 0x02FA: return r.Need(5);  // pen
    case 0x02FC:                    // brush
        if (Problem p = r.Need(4)) return p;
        return PlainBrushStyle(r.Param(0)) ? nullptr : "brush style refused";
    case 0x02FB: {  // font: 18 bytes of fields, then a face name the player copies up to its end
        if (Problem p = r.Need(9)) return p;
        const uint64_t nameBytes = (r.Params() - 9) * 2;
        const uint8_t* name = r.p + 6 + 18;
        for (uint64_t i = 0; i < nameBytes && i < 32; ++i)
            if (name[i] == 0) return nullptr;
        return nameBytes >= 32 ? nullptr : "font face name not ended";
    }
    case 0x00F7:  // palette: version, count, entries
        if (Problem p = r.Need(2)) return p;
        return r.Need(2 + 2ull * r.Param(1));
    case 0x06FF: return CheckWmfRegion(r);
    case 0x0521:  // text: count, string, y, x
        if (Problem p = r.Need(1)) return p;
        return r.Need(1 + (r.Param(0) + 1ull) / 2 + 2);
    case 0x0A32: {  // extended text: y, x, count, options, [rectangle], string, [spacing]
        if (Problem p = r.Need(4)) return p;
        const uint64_t rect = r.Param(3) & 0x6 ? 4 : 0;
        return r.Need(4 + rect + (r.Param(2) + 1ull) / 2);
    }
    case 0x0324: case 0x0325:  // polygon, polyline: count, points
        if (Problem p = r.Need(1)) return p;
        return r.Need(1 + 2ull * r.Param(0));
    case 0x0538: {  // poly-polygon: polygon count, point counts, points
        if (Problem p = r.Need(1)) return p;
        const uint64_t polys = r.Param(0);
        if (Problem p = r.Need(1 + polys)) return p;
        uint64_t points = 0;
        for (uint64_t i = 0; i < polys; ++i) {
            // The player reads each count as a signed number.
            if (r.Param(1 + i) & 0x8000) return "polygon point count negative";
            points += r.Param(1 + i);
        }
        return r.Need(1 + polys + 2 * points);
    }
    case 0x0626: {  // escapes: comments, which no driver sees, and the pen's end caps, joins
                    // and miter limit, each a documented 4-byte value
        if (Problem p = r.Need(2)) return p;
        const uint16_t escape = r.Param(0), bytes = r.Param(1);
        const bool penStyle = (escape == 21 || escape == 22 || escape == 23) && bytes == 4;
        if (escape != 15 && !penStyle) return "escape refused";
        return r.Need(2 + (bytes + 1ull) / 2);
    }
    case 0x0940:  // bitmap blit: without a bitmap it is a pattern fill of 9 words
        if (r.Params() == 9) return nullptr;
        return r.PackedDib(8, 0);
    case 0x0B41: return r.PackedDib(10, 0);
    case 0x0F43:
        if (Problem p = r.Need(3)) return p;
        return r.PackedDib(11, r.Param(2));
    case 0x0D33: {
        if (Problem p = r.Need(9)) return p;
        if (Problem p = r.PackedDib(9, r.Param(0))) return p;
        const int64_t height = GetInt32(r.p + 6 + 18 + 8);
        return r.Param(1) > (height < 0 ? -height : height) ? "scan count past the bitmap" : nullptr;
    }
    case 0x0142:  // bitmap brush: style, colour use, bitmap
        if (Problem p = r.Need(2)) return p;
        return r.PackedDib(2, r.Param(0) == 3 ? 0 : r.Param(1));
    default: return "record type refused";
    }
}

}  // namespace

WalkResult CheckWindowsMetafile(const uint8_t* data, size_t size) {
    if (size < kWmfHeaderSize) return Refused("shorter than the header", 0);
    const uint16_t type = Get16(data), headerWords = Get16(data + 2), version = Get16(data + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300))
        return Refused("not a Windows metafile header", 0);

    // The header's size (some writers count the placeable header in it), object count and
    // largest record are not trusted: the records, as far as the file holds them, tell.
    WalkResult walked;
    uint32_t slotsNamed = 0;
    ObjectTable table;
    EmbeddedEmf embedded;
    for (size_t offset = kWmfHeaderSize;;) {
        if (offset == size) return Refused("no end-of-file record", offset);
        if (size - offset < 6) return Refused("record header cut short", offset);
        const uint64_t words = Get32(data + offset);
        if (words == 0) return Refused("record of size zero", offset);
        if (words < 3) return Refused("record smaller than its header", offset);
        if (words * 2 > size - offset) return Refused("record runs past the end", offset);
        walked.largestRecord = std::max(walked.largestRecord, static_cast<uint32_t>(words));
        const WmfRecord record{data + offset, words, &slotsNamed};
        const uint16_t function = Get16(data + offset + 4);
        if (function == 0) {  // end of file
            walked.length = offset + static_cast<size_t>(words * 2);
            if (Problem p = embedded.Check(data, walked.length)) return Refused(p, offset);
            break;
        }
        if (Problem p = CheckWindowsRecord(record)) return Refused(p, offset);
        if (function != 0x0626)
            if (Problem p = embedded.Other()) return Refused(p, offset);
        if (CreatesWindowsObject(function) && !table.Make())
            return Refused("object made while the object table is full", offset);
        if (function == 0x01F0) table.Delete(record.Param(0));
        if (function == 0x0626)  // the record check let through only escapes that fit the record
            if (Problem p = embedded.Add(data + offset + 10, record.Param(1))) return Refused(p, offset);
        offset += static_cast<size_t>(words * 2);
    }
    walked.objects = std::max({static_cast<uint32_t>(Get16(data + 10)), table.Used(), slotsNamed});
    return walked;
}

size_t RepairWindowsHeader(uint8_t* data, const WalkResult& walked) {
    Put32(data + 6, static_cast<uint32_t>(walked.length / 2));
    Put16(data + 10, static_cast<uint16_t>(walked.objects));
    Put32(data + 12, walked.largestRecord);
    return walked.length;
}

}  // namespace mf

namespace mf {

WalkResult CheckMetafileFile(const uint8_t* data, size_t size) {
    if (size > kEmfHeaderSize && LooksLikeEmfHeader(data)) {
        const uint32_t bytes = Get32(data + 48);
        if (bytes < kEmfHeaderSize) return {"byte count below the header's", 48};
        if (bytes > size) return {"shorter than its byte count", size};
        return CheckEnhancedMetafile(data, bytes);
    }
    if (size < kPlaceableHeaderSize) return {"shorter than the placeable header", 0};
    if (!ParsePlaceableHeader(data).Valid()) return {"placeable key or checksum wrong", 0};
    WalkResult r = CheckWindowsMetafile(data + kPlaceableHeaderSize, size - kPlaceableHeaderSize);
    if (r.ok())
        r.length += kPlaceableHeaderSize;
    else
        r.offset += kPlaceableHeaderSize;
    return r;
}

WalkResult RepairMetafileFile(uint8_t* data, size_t size) {
    WalkResult r = CheckMetafileFile(data, size);
    if (!r.ok()) return r;
    if (size > kEmfHeaderSize && LooksLikeEmfHeader(data)) {
        RepairEnhancedHeader(data, r);
    } else {
        WalkResult records = r;  // the Windows metafile's own length, behind the placeable header
        records.length -= kPlaceableHeaderSize;
        RepairWindowsHeader(data + kPlaceableHeaderSize, records);
    }
    return r;
}

}  // namespace mf
