#include "graphics/icon/IconSamples.h"
#include <algorithm>

namespace icosamples {

namespace {

using namespace samplebytes;

void AppendBigEndian32(Bytes& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}

size_t RowBytes(int width, int bits) { return ((size_t(width) * bits + 31) & ~size_t(31)) / 8; }

bool SeeThrough(const Entry& e, int x, int y) {
    return !e.seeThrough.empty() && e.seeThrough[size_t(y) * e.width + x];
}

// Header, colour table, colour rows and mask rows, both bottom-up.
Bytes WriteBitmapImage(const Entry& e) {
    std::vector<Rgb> table;
    if (e.bitCount <= 8) {
        for (const Rgb& c : e.pixels)
            if (std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
        if (!e.seeThrough.empty() && std::find(table.begin(), table.end(), Rgb{}) == table.end())
            table.push_back(Rgb{});
        table.resize(size_t(1) << e.bitCount);
    }
    auto colourAt = [&](int x, int y) { return SeeThrough(e, x, y) ? Rgb{} : e.At(x, y); };
    size_t stride = RowBytes(e.width, e.bitCount), maskStride = RowBytes(e.width, 1);
    Bytes b;
    for (uint32_t v : {40u, uint32_t(e.width), uint32_t(e.height * 2), 1u | uint32_t(e.bitCount) << 16, 0u,
                       uint32_t((stride + maskStride) * e.height), 0u, 0u, 0u, 0u})
        Append32(b, v);
    for (const Rgb& c : table) b.insert(b.end(), {c.b, c.g, c.r, 0});
    for (int y = e.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < e.width; ++x) {
            Rgb c = colourAt(x, y);
            if (e.bitCount > 8) {
                size_t at = size_t(x) * (e.bitCount / 8);
                row[at] = c.b;
                row[at + 1] = c.g;
                row[at + 2] = c.r;
                if (e.bitCount == 32 && e.maskRows >= 0 && !e.alphaUnused) row[at + 3] = SeeThrough(e, x, y) ? 0 : 255;
                continue;
            }
            uint32_t index = uint32_t(std::find(table.begin(), table.end(), c) - table.begin());
            if (index >= table.size()) index = 0;
            size_t bit = size_t(x) * e.bitCount;
            row[bit / 8] |= uint8_t(index << (8 - e.bitCount - bit % 8));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = e.height - 1; y >= (e.maskRows < 0 ? 0 : e.height - e.maskRows); --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < e.width; ++x)
            if (SeeThrough(e, x, y)) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void AppendChunk(Bytes& png, const char* type, const Bytes& data) {
    AppendBigEndian32(png, uint32_t(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    AppendBigEndian32(png, Crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes StoredZlib(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        z.push_back(at + n == raw.size() ? 1 : 0);
        Append16(z, uint32_t(n));
        Append16(z, uint32_t(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    AppendBigEndian32(z, (b << 16) | a);
    return z;
}

}  // namespace

Entry SolidEntry(int size, Rgb colour, int bitCount, uint16_t colourCount) {
    Entry e;
    e.entryWidth = e.entryHeight = e.width = e.height = size;
    e.bitCount = bitCount;
    e.colourCount = colourCount;
    e.pixels.assign(size_t(size) * size, colour);
    return e;
}

Entry QuadrantEntry(int size, const Rgb quadrant[4], int bitCount) {
    Entry e = SolidEntry(size, quadrant[0], bitCount);
    e.pixels = QuadrantPixels(size, size, quadrant);
    return e;
}

Bytes WritePng(int width, int height, const std::vector<Rgb>& pixels, const std::vector<uint8_t>& seeThrough) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    AppendBigEndian32(header, uint32_t(width));
    AppendBigEndian32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    AppendChunk(png, "IHDR", header);
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no row filter
        for (int x = 0; x < width; ++x) {
            size_t i = size_t(y) * width + x;
            bool clear = !seeThrough.empty() && seeThrough[i];
            raw.insert(raw.end(), {pixels[i].r, pixels[i].g, pixels[i].b, uint8_t(clear ? 0 : 255)});
        }
    }
    AppendChunk(png, "IDAT", StoredZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

Bytes WriteIcon(const std::vector<Entry>& entries, uint16_t type) {
    std::vector<Bytes> images;
    for (const Entry& e : entries)
        images.push_back(e.png ? WritePng(e.width, e.height, e.pixels, e.seeThrough) : WriteBitmapImage(e));
    Bytes file;
    for (uint32_t v : {0u, uint32_t(type), uint32_t(entries.size())}) Append16(file, uint16_t(v));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        file.push_back(uint8_t(e.entryWidth));  // 256 becomes 0
        file.push_back(uint8_t(e.entryHeight));
        for (uint32_t v : {uint32_t(e.colourCount), 1u, uint32_t(e.png ? 32 : e.bitCount)}) Append16(file, uint16_t(v));
        for (uint32_t v : {uint32_t(images[i].size()), offset}) Append32(file, v);
        offset += uint32_t(images[i].size());
    }
    for (const Bytes& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

std::vector<Hostile> HostileCorpus() {
    using O = Outcome;
    const Rgb quadrants[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    // Three entries: a 4-bit bitmap, a 24-bit bitmap and a PNG stream.
    Entry png = QuadrantEntry(8, quadrants);
    png.png = true;
    png.entryWidth = png.entryHeight = 48;
    const Bytes base = WriteIcon({QuadrantEntry(16, quadrants, 4), QuadrantEntry(32, quadrants, 24), png});
    auto entryAt = [](int i) { return size_t(6 + 16 * i); };
    auto imageAt = [&](int i) { return size_t(Get32(base, entryAt(i) + 12)); };

    std::vector<Hostile> corpus;
    auto add = [&](const std::string& name, Bytes bytes, O expected) {
        corpus.push_back({name, std::move(bytes), expected});
    };
    auto with32 = [&](size_t at, uint32_t v) { return With32(base, at, v); };
    auto with16 = [&](size_t at, uint32_t v) { return With16(base, at, uint16_t(v)); };
    auto withByte = [&](size_t at, uint8_t v) { Bytes b = base; b[at] = v; return b; };

    add("whole", base, O::Picture);
    // Cut short: below the header a read error; anywhere else some entry leaves the file.
    for (size_t n = 0; n < 6; ++n) add("cut_" + std::to_string(n), Bytes(base.begin(), base.begin() + long(n)), O::ReadError);
    for (size_t n = 6; n < base.size(); n += n < 80 ? 3 : 89)
        add("cut_" + std::to_string(n), Bytes(base.begin(), base.begin() + long(n)), O::InvalidImage);
    add("cut_last_byte", Bytes(base.begin(), base.end() - 1), O::InvalidImage);

    // The header.
    for (uint32_t type : {2u, 3u, 0x100u, 0x8001u, 0xFFFFu})
        add("type_" + std::to_string(type), with16(2, type), O::InvalidImage);
    add("stock_icon_with_junk", with16(2, 0), O::Picture);
    add("stock_icon_header_only", Bytes{0, 0, 0, 0, 0xFF, 0xFF}, O::Picture);
    add("reserved_word_set", with16(0, 0xFFFF), O::Picture);
    for (uint32_t count : {0u, 4u, 5u, 200u, 0xFFFFu})
        add("count_" + std::to_string(count), with16(4, count), O::InvalidImage);
    for (uint32_t count : {1u, 2u}) add("count_" + std::to_string(count), with16(4, count), O::Picture);
    add("header_only", Bytes{0, 0, 1, 0, 1, 0}, O::InvalidImage);

    // Directory fields of each entry.
    for (int i = 0; i < 3; ++i) {
        std::string p = "entry" + std::to_string(i) + "_";
        size_t e = entryAt(i);
        uint32_t offset = uint32_t(imageAt(i)), bytes = Get32(base, e + 8);
        add(p + "width_0", withByte(e, 0), O::Picture);
        add(p + "height_0", withByte(e + 1, 0), O::Picture);
        add(p + "colours_ffff", with16(e + 2, 0xFFFF), O::Picture);
        add(p + "bits_planes_junk", with32(e + 4, 0xDEADBEEF), O::Picture);
        // A PNG entry cut short past its header is for the decoder to refuse (see below).
        std::vector<uint32_t> shortBytes = {0u, 1u, 7u, 32u, 0x7FFFFFFFu, 0xFFFFFFFFu};
        if (i < 2) shortBytes.insert(shortBytes.end(), {39u, bytes - 1});
        for (uint32_t v : shortBytes) add(p + "bytes_" + std::to_string(v), with32(e + 8, v), O::InvalidImage);
        add(p + "bytes_past_end", with32(e + 8, uint32_t(base.size() - offset + 1)), O::InvalidImage);
        for (uint32_t v : {0u, 6u, uint32_t(base.size()), uint32_t(base.size() - 1), 0x80000000u, 0xFFFFFFF0u,
                           0xFFFFFFFFu, offset + 1, offset - 1})
            add(p + "offset_" + std::to_string(v), with32(e + 12, v), O::InvalidImage);
    }

    // The bitmap headers of entries 0 (4 bits, 16 x 16) and 1 (24 bits, 32 x 32).
    for (int i = 0; i < 2; ++i) {
        std::string p = "bitmap" + std::to_string(i) + "_";
        size_t h = imageAt(i);
        int size = i == 0 ? 16 : 32;
        for (uint32_t v : {0u, 12u, 39u, 41u, 56u, 108u, 124u, 0xFFFFFFFFu})
            add(p + "biSize_" + std::to_string(v), with32(h, v), O::InvalidImage);
        for (int32_t v : {0, -1, -size, size * 2, size + 9, 0x10000, 0x40000000, 0x7FFFFFFF, int32_t(0x80000000)})
            add(p + "biWidth_" + std::to_string(v), with32(h + 4, uint32_t(v)), O::InvalidImage);
        add(p + "biWidth_narrower", with32(h + 4, uint32_t(size - 1)), O::Picture);
        for (int32_t v : {0, 1, -1, -size * 2, size * 2 + 2, size * 4, 0x7FFFFFFF, int32_t(0x80000000)})
            add(p + "biHeight_" + std::to_string(v), with32(h + 8, uint32_t(v)), O::InvalidImage);
        add(p + "biHeight_odd", with32(h + 8, uint32_t(size * 2 + 1)), O::Picture);
        add(p + "biHeight_two", with32(h + 8, 2), O::Picture);
        for (uint32_t v : {0u, 2u, 3u, 5u, 7u, 15u, 33u, 48u, 64u, 0xFFFFu})
            add(p + "biBitCount_" + std::to_string(v), with16(h + 14, v), O::InvalidImage);
        for (uint32_t v : {1u, 2u, 3u, 4u, 5u, 6u, 0x80000000u})
            add(p + "biCompression_" + std::to_string(v), with32(h + 16, v), O::InvalidImage);
        for (uint32_t v : {0u, 2u, 0xFFFFu}) add(p + "biPlanes_" + std::to_string(v), with16(h + 12, v), O::Picture);
        for (uint32_t v : {1u, 300u, 0xFFFFFFFFu})
            add(p + "biClrUsed_" + std::to_string(v), with32(h + 32, v), O::Picture);
        add(p + "biClrImportant_huge", with32(h + 36, 0xFFFFFFFFu), O::Picture);
        add(p + "biSizeImage_huge", with32(h + 20, 0xFFFFFFFFu), O::Picture);
    }
    // Fewer bits need fewer bytes: still inside the entry.
    add("bitmap1_biBitCount_1", with16(imageAt(1) + 14, 1), O::Picture);
    add("bitmap1_biBitCount_16", with16(imageAt(1) + 14, 16), O::Picture);
    add("bitmap0_biBitCount_8", with16(imageAt(0) + 14, 8), O::InvalidImage);
    add("bitmap0_biBitCount_32", with16(imageAt(0) + 14, 32), O::InvalidImage);

    // Sizes whose arithmetic overflows 32 or 64 bits, with the entry claiming enough bytes.
    struct Huge { int32_t width, height; uint16_t bits; };
    for (Huge s : {Huge{0x7FFFFFFF, 0x7FFFFFFE, 32}, Huge{0x40000000, 0x40000000, 32}, Huge{0x20000000, 16, 32},
                   Huge{65536, 513, 1}, Huge{0x08000000, 0x10, 8}, Huge{1, 0x7FFFFFFE, 24}, Huge{4097, 8194, 1}}) {
        Bytes b = base;
        size_t h = imageAt(1);
        Put32(b, h + 4, uint32_t(s.width));
        Put32(b, h + 8, uint32_t(s.height));
        Put16(b, h + 14, s.bits);
        Put32(b, entryAt(1) + 8, 0xFFFFFFFFu);
        add("overflow_" + std::to_string(s.width) + "x" + std::to_string(s.height) + "x" + std::to_string(s.bits), b,
            O::InvalidImage);
        Put32(b, entryAt(1) + 8, Get32(base, entryAt(1) + 8));
        add("oversize_" + std::to_string(s.width) + "x" + std::to_string(s.height) + "x" + std::to_string(s.bits), b,
            O::InvalidImage);
    }

    // The PNG entry's header.
    size_t pngAt = imageAt(2);
    add("png_signature_broken", withByte(pngAt + 1, 'Q'), O::InvalidImage);
    add("png_ihdr_length_12", withByte(pngAt + 11, 12), O::InvalidImage);
    add("png_ihdr_renamed", withByte(pngAt + 15, 'X'), O::InvalidImage);
    for (uint32_t v : {0u, 0x80000000u, 0x01000000u}) {  // big-endian in the stream
        const uint32_t swapped = v >> 24 | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | v << 24;
        add("png_width_" + std::to_string(v), with32(pngAt + 16, swapped), O::InvalidImage);
        add("png_height_" + std::to_string(v), with32(pngAt + 20, swapped), O::InvalidImage);
    }
    for (uint32_t v : {8u, 9u, 20u, 32u}) add("png_bytes_" + std::to_string(v), with32(entryAt(2) + 8, v), O::InvalidImage);
    // Damage past the header is for the platform's decoder to find when it is drawn.
    add("png_bytes_33", with32(entryAt(2) + 8, 33), O::Picture);
    add("png_idat_damaged", [&] { Bytes b = base; for (size_t k = pngAt + 41; k < pngAt + 60; ++k) b[k] ^= 0x5A; return b; }(),
        O::Picture);

    // Many entries sharing one image.
    {
        Bytes b(base.begin(), base.begin() + 6);
        Put16(b, 4, 300);
        Bytes entry(base.begin() + long(entryAt(1)), base.begin() + long(entryAt(1) + 16));
        Put32(entry, 12, 6 + 300 * 16);
        for (int i = 0; i < 300; ++i) b.insert(b.end(), entry.begin(), entry.end());
        b.insert(b.end(), base.begin() + long(imageAt(1)), base.begin() + long(imageAt(1) + Get32(entry, 8)));
        add("three_hundred_entries_one_image", b, O::Picture);
    }

    // Random damage, the same on every run.
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int n = 0; n < 60; ++n) {
        Bytes b = base;
        int flips = 1 + int(next() % 4);
        // Half of them in the header, directory and bitmap headers, where damage matters most.
        size_t span = n % 2 ? b.size() : imageAt(1) + 40;
        for (int k = 0; k < flips; ++k) b[next() % span] ^= uint8_t(1 + next() % 255);
        add("random_" + std::to_string(n), b, O::EitherWay);
    }
    return corpus;
}

}  // namespace icosamples
