#include "graphics/metafile/MetafileSamples.h"

#include <initializer_list>
#include <utility>

#include "graphics/metafile/MetafileRecords.h"

namespace mfsamples {
namespace {

using samplebytes::Append16;
using samplebytes::Append32;
uint32_t Point16(int16_t x, int16_t y) { return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16); }

// A 2 x 2, 24-bit bitmap header and its 16 bytes of pixels.
Bytes SmallDib() {
    Bytes b;
    for (uint32_t v : {40u, 2u, 2u, 1u | 24u << 16, 0u, 0u, 0u, 0u, 0u, 0u}) Append32(b, v);
    for (int i = 0; i < 16; ++i) b.push_back(static_cast<uint8_t>(i % 3 == 2 ? 0xFF : 0x20 * i));
    return b;
}

// ---- Enhanced metafiles

Bytes PaletteEof(uint32_t count) {
    Bytes eof;
    for (uint32_t v : {uint32_t(mf::kEmrEof), 20 + 4 * count, count, 16u}) Append32(eof, v);
    for (uint32_t i = 0; i < count; ++i) Append32(eof, (i * 0x010305u) & 0xFFFFFF);
    Append32(eof, 20 + 4 * count);  // nSizeLast
    return eof;
}

// Records, then the end-of-file record with a palette of `paletteEntries`, behind the header.
class EmfWriter {
public:
    void Add(uint32_t type, const std::vector<uint32_t>& fields, const Bytes& tail = {}) {
        Bytes r;
        Append32(r, type);
        Append32(r, 0);
        for (uint32_t f : fields) Append32(r, f);
        r.insert(r.end(), tail.begin(), tail.end());
        while (r.size() % 4) r.push_back(0);
        mf::Put32(r.data() + 4, static_cast<uint32_t>(r.size()));
        body_.insert(body_.end(), r.begin(), r.end());
        ++records_;
    }
    Bytes Finish(uint16_t handles, uint32_t paletteEntries) {
        const Bytes eof = PaletteEof(paletteEntries);
        body_.insert(body_.end(), eof.begin(), eof.end());
        ++records_;
        Bytes h;  // bounds in device pixels, then the frame in 0.01 mm
        for (uint32_t v : {uint32_t(mf::kEmrHeader), 108u, 0u, 0u, 80u, 40u, 0u, 0u, 2540u, 1270u,
                           uint32_t(mf::kEmfSignature), 0x10000u, uint32_t(108 + body_.size()), records_ + 1,
                           uint32_t(handles), 0u, 0u, paletteEntries, 1024u, 768u, 320u, 240u, 0u, 0u, 0u, 320000u, 240000u})
            Append32(h, v);
        h.insert(h.end(), body_.begin(), body_.end());
        return h;
    }

private:
    Bytes body_;
    uint32_t records_ = 0;
};

// Offsets of an enhanced metafile's records, by a plain walk of sizes (for well-formed bytes).
std::vector<size_t> EmfRecordOffsets(const Bytes& emf) {
    std::vector<size_t> offsets;
    for (size_t at = 0; at + 8 <= emf.size();) {
        offsets.push_back(at);
        const uint32_t size = mf::Get32(emf.data() + at + 4);
        if (size < 8) break;
        at += size;
    }
    return offsets;
}

// ---- Windows metafiles

class WmfWriter {
public:
    void Add(uint16_t function, std::initializer_list<uint16_t> params, const Bytes& tail = {}) {
        Bytes r;
        Append32(r, 0);
        Append16(r, function);
        for (uint16_t p : params) Append16(r, p);
        r.insert(r.end(), tail.begin(), tail.end());
        if (r.size() % 2) r.push_back(0);
        const uint32_t words = static_cast<uint32_t>(r.size() / 2);
        mf::Put32(r.data(), words);
        if (words > largest_) largest_ = words;
        body_.insert(body_.end(), r.begin(), r.end());
    }
    Bytes Finish(uint16_t objects) {
        Add(0, {});
        Bytes h;
        for (uint32_t v : {1u, 9u, 0x300u}) Append16(h, v);
        Append32(h, static_cast<uint32_t>((18 + body_.size()) / 2));
        Append16(h, objects);
        Append32(h, largest_);
        Append16(h, 0);
        h.insert(h.end(), body_.begin(), body_.end());
        return h;
    }

private:
    Bytes body_;
    uint32_t largest_ = 0;
};

std::vector<size_t> WmfRecordOffsets(const Bytes& wmf) {
    std::vector<size_t> offsets;
    for (size_t at = mf::kWmfHeaderSize; at + 6 <= wmf.size();) {
        offsets.push_back(at);
        const uint32_t words = mf::Get32(wmf.data() + at);
        if (words < 3) break;
        at += 2 * words;
    }
    return offsets;
}

// A 1 x 1, 32-bit bit-field bitmap with a header of `headerSize` bytes: the 40 bytes of
// BITMAPINFOHEADER, then as much of the three masks as the header has room for.
Bytes BitFieldDib(uint32_t headerSize) {
    Bytes b;
    for (uint32_t v : {headerSize, 1u, 1u, 1u | 32u << 16, 3u, 4u, 0u, 0u, 0u, 0u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu})
        Append32(b, v);  // the masks last
    b.resize(headerSize);
    Append32(b, 0x00102030);  // the pixel
    return b;
}

// An enhanced metafile whose only object is a pattern brush of that bitmap, the header's
// bytes counted as `headerSize`.
Bytes BitFieldBrushEmf(uint32_t headerSize) {
    EmfWriter w;
    w.Add(94, {1, 0, 32, headerSize, 32 + headerSize, 4}, BitFieldDib(headerSize));
    w.Add(37, {1});
    return w.Finish(2, 0);
}

// The same brush in a Windows metafile, as a packed bitmap running to the record's end.
Bytes BitFieldBrushWmf(uint32_t headerSize) {
    WmfWriter w;
    w.Add(0x0142, {5, 0}, BitFieldDib(headerSize));
    w.Add(0x012D, {0});
    return w.Finish(1);
}

// One polygon of 0x8000 points, all of them present: a count the player reads as negative.
Bytes NegativePolygonCountWmf() {
    WmfWriter w;
    w.Add(0x0538, {1, 0x8000}, Bytes(0x8000 * 4));
    return w.Finish(1);
}

// An enhanced metafile of these records, each its type and then its fields.
Bytes EmfOf(const std::vector<std::vector<uint32_t>>& records) {
    EmfWriter w;
    for (const auto& r : records) w.Add(r[0], {r.begin() + 1, r.end()});
    return w.Finish(2, 0);
}

using samplebytes::With16;
using samplebytes::With32;
Bytes Cut(const Bytes& b, size_t size) { return Bytes(b.begin(), b.begin() + static_cast<long>(size < b.size() ? size : b.size())); }

}  // namespace

Bytes SampleEmf(uint32_t paletteEntries) {
    EmfWriter w;
    w.Add(38, {1, 0, 1, 0, 0x000000});           // pen in slot 1
    w.Add(37, {1});
    w.Add(39, {2, 0, 0x0000FF, 0});              // red brush in slot 2
    w.Add(37, {2});
    w.Add(43, {2, 2, 40, 20});                   // rectangle
    w.Add(87, {0, 0, 40, 40, 3, Point16(0, 30), Point16(40, 30), Point16(40, 40)});
    w.Add(91, {0, 0, 40, 40, 2, 6, 3, 3, Point16(44, 22), Point16(60, 22), Point16(52, 38), Point16(62, 22),
               Point16(78, 22), Point16(70, 38)});
    {
        Bytes text;  // "AB", then two advances
        for (uint16_t c : {uint16_t('A'), uint16_t('B')}) Append16(text, c);
        Append32(text, 8);
        Append32(text, 8);
        w.Add(84, {0, 0, 80, 40, 1, 0, 0, 50, 4, 2, 76, 0, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 80}, text);
    }
    w.Add(81, {60, 2, 70, 12, 60, 2, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 10, 10}, SmallDib());
    {
        Bytes region;  // one rectangle
        for (uint32_t v : {32u, 1u, 1u, 16u, 44u, 2u, 56u, 8u, 44u, 2u, 56u, 8u}) Append32(region, v);
        w.Add(71, {44, 2, 56, 8, 48, 2}, region);
    }
    {
        Bytes vertices;  // two vertices, one horizontal rectangle
        for (uint32_t v : {62u, 30u}) Append32(vertices, v);
        for (uint16_t c : {uint16_t(0), uint16_t(0), uint16_t(0xFF00), uint16_t(0)}) Append16(vertices, c);
        for (uint32_t v : {80u, 40u}) Append32(vertices, v);
        for (uint16_t c : {uint16_t(0xFF00), uint16_t(0xFF00), uint16_t(0), uint16_t(0)}) Append16(vertices, c);
        Append32(vertices, 0);
        Append32(vertices, 1);
        w.Add(118, {62, 30, 80, 40, 2, 1, 0}, vertices);
    }
    {
        Bytes font(92);  // LOGFONTW: height -12, weight 400, "Arial"
        mf::Put32(font.data(), static_cast<uint32_t>(-12));
        mf::Put32(font.data() + 16, 400);
        for (int i = 0; i < 5; ++i) mf::Put16(font.data() + 28 + 2 * i, static_cast<uint16_t>("Arial"[i]));
        w.Add(82, {3}, font);
        w.Add(37, {3});
    }
    w.Add(94, {4, 0, 32, 40, 72, 16}, SmallDib());        // bitmap brush in slot 4
    w.Add(95, {5, 0, 0, 0, 0, 0x10000, 3, 0, 0x00FF00, 0, 0});  // geometric pen in slot 5
    w.Add(37, {5});
    w.Add(37, {4});
    w.Add(92, {0, 0, 40, 40, 3, Point16(2, 36), Point16(20, 36), Point16(20, 40)}, Bytes{6, 2, 2});
    w.Add(80, {60, 20, 62, 22, 60, 20, 0, 0, 2, 2, 76, 40, 116, 16, 0, 0, 2}, SmallDib());
    w.Add(76, {0, 0, 2, 2, 0, 0, 2, 2, 0x00CC0020, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 100, 40, 140, 16},
          SmallDib());
    {
        Bytes region;  // the whole picture
        for (uint32_t v : {32u, 1u, 1u, 16u, 0u, 0u, 81u, 41u, 0u, 0u, 81u, 41u}) Append32(region, v);
        w.Add(75, {48, 5}, region);
        w.Add(75, {0, 5});
    }
    w.Add(49, {6, 0x00020300, 0x00FF0000, 0x0000FF00});  // two-entry palette in slot 6
    w.Add(48, {6});
    w.Add(52, {});
    w.Add(70, {4}, Bytes{'T', 'F', 'O', 'L'});
    w.Add(37, {0x80000007});  // stock black pen, so the own one can go
    w.Add(40, {1});
    return w.Finish(7, paletteEntries);
}

Bytes SavedStateEmf() {
    return EmfOf({{38, 1, 0, 3, 0, 0}, {37, 1}, {33}, {37, 0x80000008}, {33}, {38, 1, 0, 3, 0, 0xFFFFFF}, {34, 0xFFFFFFFF},
                  {34, 0xFFFFFFFF}, {37, 0x80000005}, {43, 10, 10, 70, 30}, {37, 0x80000007}});
}

Bytes WithPalette(const Bytes& emf, uint32_t count) {
    const std::vector<size_t> offsets = EmfRecordOffsets(emf);
    Bytes out(emf.begin(), emf.begin() + static_cast<long>(offsets.back()));
    Bytes eof = PaletteEof(count);
    out.insert(out.end(), eof.begin(), eof.end());
    mf::Put32(out.data() + 48, static_cast<uint32_t>(out.size()));
    mf::Put32(out.data() + 68, count);
    return out;
}

Bytes SampleWmf() {
    WmfWriter w;
    w.Add(0x020B, {0, 0});       // window origin
    w.Add(0x020C, {720, 1440});  // window extent
    w.Add(0x02FA, {0, 1, 0, 0, 0});        // pen: object 0
    w.Add(0x012D, {0});
    w.Add(0x02FC, {0, 0x00FF, 0, 0});      // red brush: object 1
    w.Add(0x012D, {1});
    w.Add(0x041B, {360, 720, 0, 0});       // rectangle
    w.Add(0x0325, {3, 0, 400, 720, 400, 720, 700});
    w.Add(0x0538, {2, 3, 3, 800, 20, 1000, 20, 900, 300, 1100, 20, 1300, 20, 1200, 300});
    w.Add(0x0521, {2, 0x4241, 500, 800});  // "AB"
    w.Add(0x0A32, {600, 800, 2, 0, 0x4241, 100, 100});
    {
        Bytes dib = SmallDib();
        w.Add(0x0B41, {0x0020, 0x00CC, 2, 2, 0, 0, 200, 200, 400, 1200}, dib);
    }
    // Region (object 2): one scan from y 420 to 700 between x 800 and 1000.
    w.Add(0x06FF, {0, 6, 0, 0, 34, 1, 2, 800, 420, 1000, 700, 2, 420, 700, 800, 1000, 2});
    w.Add(0x0228, {2, 1});
    Bytes comment = {'T', 'F', 'O', 'L'};
    w.Add(0x0626, {15, 4}, comment);
    w.Add(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 200, 200, 0, 0}, SmallDib());
    w.Add(0x0D33, {0, 2, 0, 0, 0, 2, 2, 0, 100}, SmallDib());
    w.Add(0x0940, {0x0042, 0, 0, 0, 0, 10, 10, 0, 0});  // a blit without a bitmap: black fill
    w.Add(0x0142, {5, 0}, SmallDib());                  // bitmap brush: object 3
    w.Add(0x012D, {3});
    w.Add(0x02FB, {0xFFF4, 0, 0, 0, 400, 0, 0, 0, 0}, Bytes{'A', 'r', 'i', 'a', 'l', 0});  // font: object 4
    w.Add(0x012D, {4});
    w.Add(0x01F0, {2});
    return w.Finish(5);
}

Bytes Placeable(const Bytes& wmf, int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t inch) {
    Bytes out(mf::kPlaceableHeaderSize);
    mf::WritePlaceableHeader(out.data(), left, top, right, bottom, inch);
    out.insert(out.end(), wmf.begin(), wmf.end());
    return out;
}

Bytes WithOriginalHeader(Bytes emf, const std::u16string& description) {
    Bytes text;
    for (char16_t c : description) Append16(text, static_cast<uint16_t>(c));
    while (text.size() % 4) text.push_back(0);
    emf.erase(emf.begin() + 88, emf.begin() + mf::Get32(emf.data() + 4));
    emf.insert(emf.begin() + 88, text.begin(), text.end());
    for (auto [at, value] : {std::pair<size_t, size_t>{4, 88 + text.size()}, {48, emf.size()}, {60, description.size()},
                             {64, description.empty() ? 0 : 88}})
        mf::Put32(emf.data() + at, static_cast<uint32_t>(value));
    return emf;
}

Bytes CarryingWmf(const Bytes& emf, int spoil) {
    uint16_t xored = 0;
    for (size_t i = 0; i < emf.size(); i += 2) xored ^= mf::Get16(emf.data() + i);
    const uint32_t whole = static_cast<uint32_t>(emf.size()), half = whole / 2;
    WmfWriter w;
    for (uint32_t at : {0u, half}) {  // magic, type, version, checksum, flags, count, size, bytes after, whole
        Bytes c(34);
        for (auto [offset, v] : {std::pair<size_t, uint32_t>{0, 0x43464D57}, {4, 1}, {8, 0x10000}, {18, 2 + (spoil == 1)},
                                 {22, at ? whole - half : half}, {26, at ? 0 : whole - half}, {30, whole}})
            mf::Put32(c.data() + offset, v);
        mf::Put16(c.data() + 12, at ? 0 : static_cast<uint16_t>(-xored + (spoil == 2)));
        c.insert(c.end(), emf.begin() + at, at ? emf.end() : emf.begin() + half);
        if (at && spoil == 3) w.Add(0x041B, {10, 10, 0, 0});
        w.Add(0x0626, {15, static_cast<uint16_t>(c.size())}, c);
    }
    return w.Finish(0);
}

std::vector<Hostile> HostileMetafiles() {
    std::vector<Hostile> out;
    auto add = [&](const std::string& name, Bytes bytes, bool refuse) {
        out.push_back({name, std::move(bytes), refuse});
    };

    // ---- Enhanced
    const Bytes emf = SampleEmf(4);
    const size_t n = emf.size();
    const uint32_t recordCount = mf::Get32(emf.data() + 52);
    for (auto [name, value] : {std::pair<const char*, size_t>{"0", 0}, {"99", 99}, {"100", 100}, {"short", n - 4},
                               {"long", n + 4}, {"huge", 0xFFFFFFF0}})
        add(std::string("emf_nbytes_") + name, With32(emf, 48, static_cast<uint32_t>(value)), true);
    // The record count is not read by the player, and common writers set it one short.
    for (auto [name, value] : {std::pair<const char*, uint32_t>{"less", recordCount - 1}, {"more", recordCount + 1}, {"huge", 0xFFFFFFFF}})
        add(std::string("emf_records_") + name, With32(emf, 52, value), false);
    // Counts the records tell: the copy handed over has them as the records do.
    for (uint16_t handles : {0, 1}) add("emf_handles_" + std::to_string(handles), With16(emf, 56, handles), false);
    for (auto [name, value] : {std::pair<const char*, uint32_t>{"wrong", 5}, {"fewer", 3}, {"huge", 0xFFFFFFFF}})
        add(std::string("emf_palette_count_") + name, With32(emf, 68, value), false);
    add("emf_device_0", With32(emf, 72, 0), true);
    add("emf_device_negative", With32(emf, 76, 0xFFFFFF00), true);
    add("emf_millimetres_0", With32(emf, 80, 0), true);
    add("emf_millimetres_overflow", With32(emf, 84, 0x40000000), true);
    add("emf_frame_overflow", With32(With32(emf, 24, 0x80000000), 32, 0x7FFFFFFF), true);
    add("emf_frame_empty", With32(With32(emf, 32, 0), 36, 0), false);
    add("emf_frame_inverted", With32(With32(emf, 24, 5000), 28, 3000), false);
    add("emf_header_size_small", With32(emf, 4, 84), true);
    add("emf_header_size_odd", With32(emf, 4, 110), true);
    add("emf_header_size_past", With32(emf, 4, static_cast<uint32_t>(n + 8)), true);
    add("emf_description_past", With32(With32(emf, 60, 100), 64, 80), true);
    add("emf_pixel_format_past", With32(With32(emf, 88, 64), 92, 80), true);
    add("emf_signature_wrong", With32(emf, 40, 0x464D4521), true);
    for (size_t cut : {size_t(0), size_t(1), size_t(8), size_t(99), size_t(100), size_t(101), size_t(108), n / 2, n - 20, n - 1}) {
        add("emf_cut_" + std::to_string(cut), Cut(emf, cut), true);
        add("emf_cut_counted_" + std::to_string(cut), With32(Cut(emf, cut), 48, static_cast<uint32_t>(cut)), true);
    }
    const std::vector<size_t> records = EmfRecordOffsets(emf);
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t at = records[i];
        const uint32_t size = mf::Get32(emf.data() + at + 4);
        const std::string base = "emf_record" + std::to_string(i) + "_type" + std::to_string(mf::Get32(emf.data() + at));
        add(base + "_size_zero", With32(emf, at + 4, 0), true);
        add(base + "_size_past_end", With32(emf, at + 4, static_cast<uint32_t>(n - at + 4)), true);
        add(base + "_size_misaligned", With32(emf, at + 4, size + 2), true);
        add(base + "_size_huge", With32(emf, at + 4, 0xFFFFFFFC), true);
        add(base + "_size_smaller", With32(emf, at + 4, size - 4), i == 0);
        if (i > 0) {
            add(base + "_type_unknown", With32(emf, at, 200), true);
            add(base + "_type_escape", With32(emf, at, 106), true);
            add(base + "_type_second_header", With32(emf, at, 1), true);
        }
        // Every field of every record but the header, at the values that break arithmetic.
        for (size_t f = 8; i > 0 && f + 4 <= size; f += 4) {
            const std::string field = base + "_field" + std::to_string(f);
            add(field + "_max", With32(emf, at + f, 0xFFFFFFFF), false);
            add(field + "_big", With32(emf, at + f, 0x7FFFFFF0), false);
            add(field + "_odd", With32(emf, at + f, 0x00001001), false);
        }
    }

    // Refused: region data missing before a header of 2^24 rectangles; 16,384² of runs (1.25 GiB
    // made); a palette of 1,025 entries; a comment of several formats.
    for (const std::vector<uint32_t>& record : std::vector<std::vector<uint32_t>>{
             {74, 0, 0, 10, 10, 0, 32, 1, 1u << 24, 1u << 28, 0, 0, 10, 10}, {75, 0, 5, 32, 1, 1u << 24, 1u << 28, 0, 0, 10, 10},
             {77, 0, 0, 9, 9, 0, 0, 9, 9, 0xCC0020, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 108, 44, 152, 4, 16384, 16384,
              40, 16384, 16384, 1 | 8 << 16, 1, 4, 0, 0, 1, 0, 0, 1 << 24},
             {51, 1, 1025}, {70, 48, 0x43494447, 0x40000004, 0, 0, 100, 100, 1, 0x46535045, 0x10000, 4, 44, 0x53502125}})
        add("emf_only_record" + std::to_string(record[0]) + "_" + std::to_string(out.size()), EmfOf({record}), true);
    add("emf_saved_state_selecting_a_displaced_pen", SavedStateEmf(), false);  // drawn, leaving no object

    // ---- Windows, behind a placeable header
    const Bytes wmf = SampleWmf();
    auto placeable = [](const Bytes& w) { return Placeable(w, 0, 0, 1440, 720, 1440); };
    // Bit-field bitmaps of every header size, each with bytes for exactly its header: the
    // player puts the pixels after the masks, at byte 52 at the least. A Windows record
    // rounds its bytes up to whole words, so a 51-byte header still has its pixel.
    for (uint32_t size : {40u, 41u, 42u, 43u, 44u, 45u, 46u, 47u, 48u, 49u, 50u, 51u, 52u, 56u, 108u, 124u}) {
        const uint32_t pixelsEnd = (size < 52 ? 52 : size) + 4, recordHolds = (size + 4 + 1) / 2 * 2;
        add("emf_bitfield_brush_header" + std::to_string(size), BitFieldBrushEmf(size), size < 52);
        add("wmf_bitfield_brush_header" + std::to_string(size), placeable(BitFieldBrushWmf(size)),
            pixelsEnd > recordHolds);
    }
    add("wmf_polypolygon_count_negative", placeable(NegativePolygonCountWmf()), true);
    WmfWriter stretched;  // a run-length bitmap of 65,535 x 65,535 in a Windows record
    stretched.Add(0x0F43, {0x20, 0xCC, 0, 9, 9, 0, 0, 9, 9, 0, 0, 40, 0, 0xFFFF, 0, 0xFFFF, 0, 1, 8, 1, 0, 4, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x100});
    add("wmf_stretchdib_rle_65535", placeable(stretched.Finish(1)), true);
    // A carried metafile, taken as it is, with its last size, chunk count, checksum, order wrong.
    add("wmf_carried_emf_size_last_wrong", placeable(CarryingWmf(With32(emf, n - 4, 0x7FFFFFF0))), true);
    for (int spoil : {1, 2, 3}) add("wmf_carried_emf_spoilt_" + std::to_string(spoil), placeable(CarryingWmf(emf, spoil)), true);
    const Bytes good = placeable(wmf);
    add("wmf_no_placeable_header", wmf, true);
    add("wmf_key_wrong", With32(good, 0, mf::kPlaceableKey ^ 1), true);
    add("wmf_checksum_one_bit", With16(good, 20, static_cast<uint16_t>(mf::Get16(good.data() + 20) ^ 0x0100)), true);
    for (size_t cut = 0; cut < mf::kPlaceableHeaderSize; cut += 3) add("wmf_cut_" + std::to_string(cut), Cut(good, cut), true);
    for (size_t cut : {size_t(22), size_t(30), size_t(40), good.size() / 2, good.size() - 2})
        add("wmf_cut_" + std::to_string(cut), Cut(good, cut), true);
    add("wmf_type_wrong", placeable(With16(wmf, 0, 3)), true);
    add("wmf_header_words_wrong", placeable(With16(wmf, 2, 8)), true);
    add("wmf_version_wrong", placeable(With16(wmf, 4, 0x200)), true);
    // The size and object count the records tell: the copy handed over has them.
    for (auto [name, value] : {std::pair<const char*, size_t>{"past_end", wmf.size() / 2 + 1}, {"huge", 0xFFFFFFFF},
                               {"header_only", 9}, {"short", wmf.size() / 2 - 3}})
        add(std::string("wmf_size_") + name, placeable(With32(wmf, 6, static_cast<uint32_t>(value))), false);
    for (uint16_t objects : {0, 2}) add("wmf_objects_" + std::to_string(objects), placeable(With16(wmf, 10, objects)), false);
    add("wmf_largest_small", placeable(With32(wmf, 12, 4)), false);  // not read by the player
    const std::vector<size_t> wmfRecords = WmfRecordOffsets(wmf);
    for (size_t i = 0; i < wmfRecords.size(); ++i) {
        const size_t at = wmfRecords[i];
        const uint32_t words = mf::Get32(wmf.data() + at);
        const std::string base = "wmf_record" + std::to_string(i) + "_fn" + std::to_string(mf::Get16(wmf.data() + at + 4));
        add(base + "_size_zero", placeable(With32(wmf, at, 0)), true);
        add(base + "_size_2", placeable(With32(wmf, at, 2)), true);
        add(base + "_size_past_end", placeable(With32(wmf, at, static_cast<uint32_t>((wmf.size() - at) / 2 + 1))), true);
        add(base + "_size_huge", placeable(With32(wmf, at, 0x7FFFFFFF)), true);
        if (i + 1 == wmfRecords.size()) continue;
        add(base + "_function_unknown", placeable(With16(wmf, at + 4, 0x0F00)), true);
        add(base + "_function_escape", placeable(With16(wmf, at + 4, 0x0626)), false);
        add(base + "_size_smaller", placeable(With32(wmf, at, words - 1)), false);
        for (size_t f = 6; f + 2 <= 2 * words; f += 2) {
            const std::string field = base + "_param" + std::to_string((f - 6) / 2);
            add(field + "_max", placeable(With16(wmf, at + f, 0xFFFF)), false);
            add(field + "_big", placeable(With16(wmf, at + f, 0x7FF0)), false);
        }
    }
    return out;
}

}  // namespace mfsamples
