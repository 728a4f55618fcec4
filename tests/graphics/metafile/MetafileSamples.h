// Metafiles written byte by byte, with no platform calls, so that the native sanitizer build,
// the fuzzer's seeds and the Windows tests share them: an enhanced and a Windows metafile
// holding every kind of record the record walk looks into, and a corpus of damaged and
// hostile variants of both.
#pragma once
#include "graphics/metafile/MetafileRecords.h"
#include "support/SampleBytes.h"
#include <cstdint>
#include <string>
#include <vector>

namespace mfsamples {

using samplebytes::Bytes;

// 81 x 41 pixels of a 1024 x 768 pixel, 320 x 240 mm reference device (frame 2540 x 1270);
// `paletteEntries` entries in its end-of-file record (and header).
Bytes SampleEmf(uint32_t paletteEntries = 0);
// A standard Windows metafile (no placeable header) in a 1440 x 720 window.
Bytes SampleWmf();
// `wmf` behind a placeable header with this box and units per inch.
Bytes Placeable(const Bytes& wmf, int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch);
// An enhanced metafile's bytes with its end-of-file record replaced by one carrying `count`
// palette entries (shades of grey and colour), header counts adjusted.
Bytes WithPalette(const Bytes& emf, uint32_t count);

// The same metafile with the header the first enhanced metafiles had: 88 bytes, ending with
// szlMillimeters, then `description` (UTF-16) straight after it, where a longer header keeps
// its pixel-format fields.
Bytes WithOriginalHeader(Bytes emf, const std::u16string& description = u"");
// Whether the copy handed to the platform passes the walk itself and its header says what
// the walk finds in its records (true for a file the walk refuses: nothing is handed over).
// Inline: the fuzzer links the walk alone.
inline bool RepairedCopyHolds(Bytes file) {
    const mf::WalkResult walked = mf::RepairMetafileFile(file.data(), file.size());
    if (!walked.ok()) return true;
    file.resize(walked.length);
    const mf::WalkResult again = mf::CheckMetafileFile(file.data(), file.size());
    if (!again.ok() || again.length != file.size()) return false;
    if (file.size() > mf::kEmfHeaderSize && mf::LooksLikeEmfHeader(file.data())) {
        const mf::EmfHeader h = mf::ParseEmfHeader(file.data());
        size_t eof = 0;  // the end-of-file record ends with its own size, which some players read
        while (mf::Get32(file.data() + eof) != mf::kEmrEof) eof += mf::Get32(file.data() + eof + 4);
        return h.bytes == again.length && h.records == again.records && h.handles == again.objects &&
               h.paletteEntries == again.paletteEntries && mf::Get32(file.data() + file.size() - 4) == file.size() - eof;
    }
    const uint8_t* wmf = file.data() + mf::kPlaceableHeaderSize;
    return 2ull * mf::Get32(wmf + 6) + mf::kPlaceableHeaderSize == again.length &&
           mf::Get16(wmf + 10) == again.objects && mf::Get32(wmf + 12) == again.largestRecord;
}

// A black pen selected from slot 1, the state saved, the null pen's saved, a white pen made
// into slot 1, both restored: the black pen draws a rectangle.
Bytes SavedStateEmf();
// `emf` in two WMFC comments; `spoil` 1 to 3 gets their count, checksum, order wrong.
Bytes CarryingWmf(const Bytes& emf, int spoil = 0);

struct Hostile {
    std::string name;
    Bytes bytes;          // what a file would hold (.emf, or a placeable .wmf)
    bool mustBeRefused;   // a fault the reader must see; otherwise it may also accept
};
std::vector<Hostile> HostileMetafiles();

}  // namespace mfsamples
