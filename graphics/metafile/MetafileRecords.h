// Reading metafile files from bytes: the placeable header with its key and checksum, the
// enhanced metafile header, and record walks over enhanced and Windows metafiles. Plain C++
// with no platform calls, so that it builds natively for the sanitizers and the fuzzer.
//
// The platform's metafile player trusts the counts, offsets and object indexes inside the
// records it plays; a hostile file could make it read far outside the file's bytes or use a
// handle slot that does not exist. So every record is checked here first, and a file that
// this walk does not accept never reaches the platform; one it accepts reaches it with the
// header's own figures replaced by those of its records.
#pragma once
#include <cstddef>
#include <cstdint>
#include "graphics/LittleEndian.h"

namespace mf {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderSize = 22;
constexpr size_t kEmfHeaderSize = 100;          // the part of ENHMETAHEADER that is read
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmrEof = 14;
constexpr size_t kWmfHeaderSize = 18;

using le::Get16;
using le::Get32;
using le::GetInt32;
using le::Put16;
using le::Put32;

struct PlaceableHeader {
    uint32_t key = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t inch = 0;
    uint16_t checksum = 0;
    uint16_t expectedChecksum = 0;  // the XOR of the ten words before the checksum
    bool Valid() const { return key == kPlaceableKey && checksum == expectedChecksum; }
};
// `p` holds kPlaceableHeaderSize bytes.
PlaceableHeader ParsePlaceableHeader(const uint8_t* p);
// A header for writing: key, the box, `inch`, zero handle and reserved words, the checksum.
void WritePlaceableHeader(uint8_t* p, int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch);

struct EmfHeader {
    uint32_t type = 0, size = 0;
    int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;  // 0.01 mm
    uint32_t signature = 0, bytes = 0, records = 0;
    uint16_t handles = 0;
    uint32_t descriptionChars = 0, descriptionOffset = 0, paletteEntries = 0;
    int32_t deviceWidth = 0, deviceHeight = 0;  // reference device, pixels
    int32_t millimetresWidth = 0, millimetresHeight = 0;
};
// `p` holds kEmfHeaderSize bytes.
EmfHeader ParseEmfHeader(const uint8_t* p);
// Whether these kEmfHeaderSize bytes start an enhanced metafile (type and signature only).
bool LooksLikeEmfHeader(const uint8_t* p);

// Records that make an object into the handle slot named by their first field.
bool CreatesEnhancedObject(uint32_t type);

// The answer of a walk: `problem` names the first fault (nullptr: the bytes may be given to
// the platform, as repaired below), `offset` where in the bytes it was found.
//
// Header fields that only restate what the records say (sizes, counts, maxima) are not
// trusted: the walk works them out from the records, and the copy handed to the platform
// carries those figures instead. Everything the player reads, indexes or allocates by is
// checked against the records' own bytes.
struct WalkResult {
    const char* problem = nullptr;
    size_t offset = 0;
    size_t length = 0;            // bytes up to the end of the end-of-file record
    uint32_t records = 0;         // enhanced: every record, header and end-of-file included
    uint32_t objects = 0;         // the handle table the records need (enhanced: slot 0 included)
    uint32_t paletteEntries = 0;  // enhanced: the end-of-file record's palette
    uint32_t lastRecordSize = 0;  // enhanced: the end-of-file record's, also its last field
    uint32_t largestRecord = 0;   // Windows: in 16-bit words
    bool slotsRetaken = false;    // enhanced: an object made into a handle slot that holds one
    bool ok() const { return problem == nullptr; }
};

// The whole enhanced metafile, header record first, up to its end-of-file record: every
// record's size, type and contents, and the frame and reference device against the
// arithmetic the picture's size and the player's scaling need.
WalkResult CheckEnhancedMetafile(const uint8_t* data, size_t size);

// A standard Windows metafile (its 18-byte header first), as it follows a placeable header:
// its records as they lie in the `size` bytes, up to the end-of-file record.
WalkResult CheckWindowsMetafile(const uint8_t* data, size_t size);

// A whole file as the picture reads it: more than 100 bytes starting with an enhanced header
// are an enhanced metafile of its byte count, anything else a placeable Windows metafile.
WalkResult CheckMetafileFile(const uint8_t* data, size_t size);

// The copy handed to the platform: writes an accepted walk's figures into the header of the
// metafile it walked (and, enhanced, the end-of-file record's size into its last field,
// where some writers put the file's) and answers how many of its bytes to hand over.
size_t RepairEnhancedHeader(uint8_t* data, const WalkResult& walked);
size_t RepairWindowsHeader(uint8_t* data, const WalkResult& walked);
// Both for a whole file (a placeable header stays as it is); the result's length counts the
// whole file's bytes to hand over.
WalkResult RepairMetafileFile(uint8_t* data, size_t size);

}  // namespace mf
