#include "graphics/bitmap/BmpSamples.h"

#include <algorithm>
#include <stdexcept>

namespace samples {

namespace {

using namespace samplebytes;

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

int PaletteSize(int bitCount) { return bitCount <= 8 ? 1 << bitCount : 0; }

int IndexOf(const std::vector<Rgb>& palette, Rgb c) {
    auto it = std::find(palette.begin(), palette.end(), c);
    if (it == palette.end()) throw std::logic_error("colour not in the palette");
    return int(it - palette.begin());
}

// Places an 8-bit channel value into a mask's bits, scaled to the mask's width.
uint32_t Pack(uint32_t mask, uint8_t value) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    uint32_t max = mask >> shift;
    return ((uint32_t(value) * max + 127) / 255 << shift) & mask;
}

// Run-length rows: runs of equal pixels as (count, value), stretches of differing pixels
// in absolute mode, each row closed with an end of line, the picture with end of bitmap.
Bytes EncodeRunLength(const std::vector<std::vector<int>>& rowsBottomUp, bool fourBit) {
    Bytes out;
    for (const auto& row : rowsBottomUp) {
        size_t x = 0, n = row.size();
        while (x < n) {
            size_t run = 1;
            if (fourBit) {
                // A run repeats a pair of indices: accept pixels matching the pattern.
                while (x + run < n && run < 255 && row[x + run] == row[x + (run & 1)]) ++run;
            } else {
                while (x + run < n && run < 255 && row[x + run] == row[x]) ++run;
            }
            if (run >= 3 || x + run >= n) {
                out.push_back(uint8_t(run));
                out.push_back(fourBit ? uint8_t((row[x] << 4) | (run > 1 ? row[x + 1] : 0))
                                      : uint8_t(row[x]));
                x += run;
                continue;
            }
            // Absolute stretch of up to 255 pixels (at least 3, as the escape needs).
            size_t len = std::min<size_t>(std::max<size_t>(3, std::min<size_t>(n - x, 8)), 255);
            if (x + len > n) {
                // Fewer than 3 pixels left: emit them as short runs.
                out.push_back(1);
                out.push_back(fourBit ? uint8_t(row[x] << 4) : uint8_t(row[x]));
                ++x;
                continue;
            }
            out.push_back(0);
            out.push_back(uint8_t(len));
            size_t bytes = 0;
            if (fourBit) {
                for (size_t k = 0; k < len; k += 2) {
                    out.push_back(uint8_t((row[x + k] << 4) | (k + 1 < len ? row[x + k + 1] : 0)));
                    ++bytes;
                }
            } else {
                for (size_t k = 0; k < len; ++k) out.push_back(uint8_t(row[x + k]));
                bytes = len;
            }
            if (bytes & 1) out.push_back(0);
            x += len;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

}  // namespace

std::string Form::Name() const {
    std::string s = "h" + std::to_string(headerSize) + "_" + std::to_string(bitCount) + "bpp";
    if (compression == kRle8) s += "_rle8";
    if (compression == kRle4) s += "_rle4";
    if (compression == kBitfields) s += "_bitfields";
    if (topDown) s += "_topdown";
    if (clrUsed) s += "_clr" + std::to_string(clrUsed);
    if (!writeSizeImage) s += "_nosize";
    return s;
}

std::vector<Rgb> ReferencePalette(int bitCount) {
    std::vector<Rgb> p;
    if (bitCount == 1) return {{200, 30, 60}, {10, 220, 120}};
    int n = PaletteSize(bitCount);
    for (int i = 0; i < n; ++i)  // blue = 255 - i keeps every entry distinct
        p.push_back({uint8_t(i * 37 + 11), uint8_t((i * 91) ^ 0x55), uint8_t(255 - i)});
    return p;
}

Picture SolidPicture(int width, int height, Rgb colour) {
    return {width, height, std::vector<Rgb>(static_cast<size_t>(width) * height, colour)};
}

Picture ReferencePicture(int bitCount, int width, int height) {
    Picture pic{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c;
            if (bitCount <= 8) {
                auto palette = ReferencePalette(bitCount);
                // Runs of equal pixels on the left, varied pixels on the right, so that
                // run-length files use both kinds of runs.
                int i = x < width / 3 ? y : x * 3 + y * 5;
                c = palette[size_t(i) % palette.size()];
            } else if (bitCount == 16) {
                int v = x + 2 * y;
                c = {uint8_t(v & 1 ? 255 : 0), uint8_t(v & 2 ? 255 : 0), uint8_t(v & 4 ? 255 : 0)};
            } else {
                c = {uint8_t(x * 19 + y), uint8_t(y * 37 + 5), uint8_t(x * y * 7 + 3)};
            }
            pic.pixels.push_back(c);
        }
    }
    return pic;
}

Bytes WriteBmp(const Picture& pic, const Form& form) {
    const bool core = form.headerSize == 12;
    const int bits = form.bitCount;
    const bool bitfields = form.compression == kBitfields;
    uint32_t masks[3] = {form.masks[0], form.masks[1], form.masks[2]};
    if (bitfields && !masks[0] && !masks[1] && !masks[2]) {
        if (bits == 16) { masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F; }
        else { masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF; }
    }
    std::vector<Rgb> palette = bits <= 8 ? ReferencePalette(bits) : std::vector<Rgb>();
    size_t tableEntries = form.clrUsed ? form.clrUsed : palette.size();
    palette.resize(std::max(palette.size(), tableEntries), Rgb{0, 0, 0});

    // Pixel rows in file order.
    const uint32_t stride = ((uint32_t(pic.width) * bits + 31) & ~31u) / 8;
    Bytes pixels;
    std::vector<std::vector<int>> indexRows;
    for (int i = 0; i < pic.height; ++i) {
        int y = form.topDown ? i : pic.height - 1 - i;
        Bytes row(stride, 0);
        std::vector<int> indices;
        for (int x = 0; x < pic.width; ++x) {
            Rgb c = pic.At(x, y);
            if (bits <= 8) {
                int index = IndexOf(palette, c);
                indices.push_back(index);
                if (bits == 8) row[x] = uint8_t(index);
                else if (bits == 4) row[x / 2] |= uint8_t(x & 1 ? index : index << 4);
                else row[x / 8] |= uint8_t(index << (7 - x % 8));
            } else if (bits == 16) {
                uint16_t v = bitfields ? uint16_t(Pack(masks[0], c.r) | Pack(masks[1], c.g) | Pack(masks[2], c.b))
                                       : uint16_t(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
            } else if (bits == 24) {
                row[3 * x] = c.b; row[3 * x + 1] = c.g; row[3 * x + 2] = c.r;
            } else {
                uint32_t v = bitfields ? Pack(masks[0], c.r) | Pack(masks[1], c.g) | Pack(masks[2], c.b)
                                       : (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
                for (int k = 0; k < 4; ++k) row[4 * x + k] = uint8_t(v >> (8 * k));
            }
        }
        indexRows.push_back(indices);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    if (form.compression == kRle8 || form.compression == kRle4)
        pixels = EncodeRunLength(indexRows, form.compression == kRle4);

    Bytes header;
    if (core) {
        for (uint32_t v : {12u, uint32_t(pic.width) | uint32_t(pic.height) << 16, 1u | uint32_t(bits) << 16}) Append32(header, v);
    } else {
        for (uint32_t v : {form.headerSize, uint32_t(pic.width), uint32_t(form.topDown ? -pic.height : pic.height),
                           1u | uint32_t(bits) << 16, form.compression, form.writeSizeImage ? uint32_t(pixels.size()) : 0,
                           2835u, 2835u, form.clrUsed, 0u})
            Append32(header, v);
        if (form.headerSize > 40) {
            header.resize(form.headerSize, 0);
            if (bitfields)
                for (int i = 0; i < 3; ++i) Put32(header, 40 + 4 * i, masks[i]);
            Put32(header, 56, 0x73524742);  // LCS_sRGB
        }
    }
    if (bitfields && form.headerSize == 40)
        for (uint32_t m : masks) Append32(header, m);
    for (size_t i = 0; i < tableEntries; ++i) {
        header.insert(header.end(), {palette[i].b, palette[i].g, palette[i].r});
        if (!core) header.push_back(0);
    }

    Bytes file = {'B', 'M'};
    for (size_t v : {14 + header.size() + pixels.size(), size_t(0), 14 + header.size()}) Append32(file, uint32_t(v));
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::vector<Form> AcceptedForms() {
    std::vector<Form> forms;
    auto add = [&](uint32_t h, int bits, uint32_t compression = kRgb) {
        forms.push_back(FormOf(bits, compression, h));
        return &forms.back();
    };
    for (int bits : {1, 4, 8, 24}) add(12, bits);
    for (uint32_t h : {40u, 108u, 124u})
        for (int bits : {1, 4, 8, 16, 24, 32}) add(h, bits);
    for (uint32_t h : {40u, 108u, 124u}) {
        add(h, 16, kBitfields);
        add(h, 32, kBitfields);
    }
    add(40, 16, kBitfields)->masks[0] = 0x7C00;  // 555 through masks
    forms.back().masks[1] = 0x03E0;
    forms.back().masks[2] = 0x001F;
    add(40, 32, kBitfields)->masks[0] = 0x0000FF;  // red and blue swapped
    forms.back().masks[1] = 0x00FF00;
    forms.back().masks[2] = 0xFF0000;
    add(40, 8, kRle8);
    add(40, 4, kRle4);
    add(124, 8, kRle8);
    add(40, 8, kRle8)->writeSizeImage = false;
    for (int bits : {1, 4, 8, 16, 24, 32}) add(40, bits)->topDown = true;
    add(40, 32, kBitfields)->topDown = true;
    add(40, 24)->writeSizeImage = false;
    return forms;
}

// ---------------------------------------------------------------- damaged files

namespace {

// A small fixed-seed generator, the same on every platform.
struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

Bytes Base(int bits, uint32_t compression = kRgb, uint32_t headerSize = 40) {
    return WriteBmp(ReferencePicture(bits), FormOf(bits, compression, headerSize));
}

// Run-length data behind a 40-byte header of an 8- or 4-bit picture.
Bytes RunLengthFile(const Bytes& runs, bool fourBit, int width = 8, int height = 4) {
    Bytes f = Base(fourBit ? 4 : 8, fourBit ? kRle4 : kRle8);
    size_t table = fourBit ? 16 * 4 : 256 * 4;
    f.resize(14 + 40 + table);
    Put32(f, 18, uint32_t(width));
    Put32(f, 22, uint32_t(height));
    Put32(f, 34, uint32_t(runs.size()));
    f.insert(f.end(), runs.begin(), runs.end());
    return f;
}

}  // namespace

std::vector<BadFile> MalformedCorpus() {
    std::vector<BadFile> c;
    auto add = [&](std::string name, Bytes bytes, Outcome o) { c.push_back({std::move(name), std::move(bytes), o}); };
    const Outcome Bad = Outcome::InvalidImage, Short = Outcome::ReadError, Ok = Outcome::Picture,
                  Any = Outcome::EitherWay;

    const Bytes rgb24 = Base(24), pal8 = Base(8), pal4 = Base(4), mono = Base(1);
    const Bytes bf16 = Base(16, kBitfields), rle8 = Base(8, kRle8), rle4 = Base(4, kRle4);
    const Bytes core8 = Base(8, kRgb, 12), v5 = Base(32, kBitfields, 124);

    // Signature.
    for (const char* sig : {"BA", "MB", "bm", "\0\0", "B\0", "\xFF\xFF"}) {
        Bytes b = rgb24;
        b[0] = uint8_t(sig[0]);
        b[1] = uint8_t(sig[1]);
        add(std::string("signature_") + std::to_string(b[0]) + "_" + std::to_string(b[1]), b, Bad);
    }
    // Header size at and around its edges.
    for (uint32_t h : {0u, 1u, 4u, 11u, 13u, 16u, 39u, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFBF3u, 0x7FFFFFFFu - 1035u})
        add("header_size_" + std::to_string(h), With32(rgb24, 14, h), Bad);
    for (uint32_t h : {41u, 52u, 56u, 64u, 108u, 124u, 200u, 0x7FFFFFFFu - 1036u})
        add("header_size_swallows_" + std::to_string(h), With32(rgb24, 14, h), Any);
    for (uint32_t h : {108u, 124u, 4000u}) add("pal8_header_size_" + std::to_string(h), With32(pal8, 14, h), Any);
    // Width and height.
    for (uint32_t w : {0u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x40000000u, 0x10000000u})
        add("width_" + std::to_string(w), With32(rgb24, 18, w), Bad);
    for (uint32_t w : {1u, 12u, 14u, 1000u, 100000u}) add("width_short_data_" + std::to_string(w), With32(rgb24, 18, w), Ok);
    // 0x02000000 rows of 40 bytes are beyond the 1 GiB pixel limit.
    for (uint32_t h : {0u, 0x80000000u, 0x7FFFFFFFu, 0x80000001u, 0x02000000u})
        add("height_" + std::to_string(h), With32(rgb24, 22, h), Bad);
    for (uint32_t h : {1u, 0xFFFFFFFFu, 8u, 0xFFFFFFF9u, 70000u}) add("height_ok_" + std::to_string(h), With32(rgb24, 22, h), Ok);
    add("absurd_60000_square", With32(With32(rgb24, 18, 60000), 22, 60000), Bad);
    add("absurd_32bpp_20000_square", With32(With32(With16(rgb24, 28, 32), 18, 20000), 22, 20000), Bad);
    add("rle_topdown", With32(rle8, 22, uint32_t(-7)), Bad);
    for (uint16_t p : {0, 2, 3, 0xFFFF}) add("planes_" + std::to_string(p), With16(rgb24, 26, p), Bad);
    for (uint16_t bits : {0, 2, 3, 5, 7, 9, 12, 15, 17, 31, 33, 48, 64, 0xFFFF})
        add("bitcount_" + std::to_string(bits), With16(rgb24, 28, bits), Bad);
    for (uint32_t comp : {4u, 5u, 6u, 7u, 11u, 0x80000000u, 0xFFFFFFFFu})
        add("compression_" + std::to_string(comp), With32(rgb24, 30, comp), Bad);
    add("rle8_on_24bpp", With32(rgb24, 30, kRle8), Bad);
    add("rle4_on_8bpp", With32(pal8, 30, kRle4), Bad);
    add("rle8_on_4bpp", With32(pal4, 30, kRle8), Bad);
    add("bitfields_on_24bpp", With32(rgb24, 30, kBitfields), Bad);
    add("bitfields_on_8bpp", With32(pal8, 30, kBitfields), Bad);
    for (uint32_t s : {0u, 1u, 2u, 100u, 0x7FFFFFFFu, 0xFFFFFFFFu})
        add("size_image_" + std::to_string(s), With32(rgb24, 34, s), Ok);
    for (uint32_t s : {0u, 1u, 0xFFFFFFFFu}) add("rle8_size_image_" + std::to_string(s), With32(rle8, 34, s), Ok);
    for (uint32_t n : {257u, 1000u, 0x10000u, 0x80000000u, 0xFFFFFFFFu}) {
        add("clr_used_" + std::to_string(n), With32(pal8, 46, n), Bad);
        add("clr_used_24bpp_" + std::to_string(n), With32(rgb24, 46, n), Bad);
    }
    for (uint32_t n : {1u, 2u, 16u, 255u}) add("clr_used_small_" + std::to_string(n), With32(pal8, 46, n), Ok);
    add("clr_used_17_on_4bpp", With32(pal4, 46, 17), Ok);  // more entries than 4 bits index
    add("clr_used_256_on_1bpp", With32(mono, 46, 256), Short);  // table runs past the file
    add("clr_used_200_past_file", With32(pal4, 46, 200), Short);
    add("clr_used_256_on_24bpp", With32(rgb24, 46, 256), Short);  // the table runs past the file
    add("clr_used_8_on_24bpp", With32(rgb24, 46, 8), Ok);  // swallows pixel bytes, still a picture
    add("clr_important_huge", With32(pal8, 50, 0xFFFFFFFF), Ok);
    add("offbits_huge", With32(rgb24, 10, 0xFFFFFFFF), Ok);
    add("offbits_zero", With32(rgb24, 10, 0), Ok);
    add("reserved_set", With32(rgb24, 6, 0xFFFFFFFF), Ok);
    for (uint32_t ppm : {0x80000000u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
        add("x_pels_" + std::to_string(ppm), With32(rgb24, 38, ppm), Ok);
        add("y_pels_" + std::to_string(ppm), With32(rgb24, 42, ppm), Ok);
    }
    add("filesize_zero", With32(rgb24, 2, 0), Ok);
    for (int m = 0; m < 3; ++m) add("bitfields_mask_zero_" + std::to_string(m), With32(bf16, 54 + 4 * m, 0), Bad);
    for (int m = 0; m < 3; ++m) add("v5_mask_zero_" + std::to_string(m), With32(v5, 54 + 4 * m, 0), Bad);
    add("bitfields_masks_all_set", With32(With32(With32(bf16, 54, 0xFFFFFFFF), 58, 0xFFFFFFFF), 62, 0xFFFFFFFF), Any);
    // Core header edges.
    add("core_width_0", With16(core8, 18, 0), Bad);
    add("core_height_0", With16(core8, 20, 0), Bad);
    add("core_planes_2", With16(core8, 22, 2), Bad);
    add("core_bitcount_16", With16(core8, 24, 16), Any);
    add("core_bitcount_3", With16(core8, 24, 3), Bad);
    add("core_width_65535", With16(core8, 18, 0xFFFF), Ok);

    // Truncation at every byte of the headers and tables, and around each boundary after.
    auto truncations = [&](const std::string& name, const Bytes& file, size_t tableEnd, Outcome inHeader,
                           Outcome inTable) {
        for (size_t n = 1; n < file.size(); ++n) {
            bool everyByte = n <= 64;
            bool boundary = n + 1 == tableEnd || n == tableEnd || n == tableEnd + 1 || n + 1 == file.size() ||
                            n == (tableEnd + file.size()) / 2;
            if (!everyByte && !boundary && !(n < tableEnd && n % 97 == 0)) continue;
            Outcome o = n < 14 ? Short : n < 54 ? inHeader : n < tableEnd ? inTable : Ok;
            add(name + "_cut_" + std::to_string(n), Bytes(file.begin(), file.begin() + long(n)), o);
        }
    };
    truncations("rgb24", rgb24, 54, Any, Short);
    truncations("pal8", pal8, 54 + 1024, Any, Short);
    truncations("bitfields16", bf16, 54 + 12, Any, Short);
    truncations("rle8", rle8, 54 + 1024, Any, Short);
    truncations("rle4", rle4, 54 + 64, Any, Short);
    for (size_t n : {15u, 18u, 22u, 25u, 26u, 27u, 30u, 50u, 60u, 100u}) add("core8_cut_" + std::to_string(n), Bytes(core8.begin(), core8.begin() + long(n)), n < 26 ? Any : n < 26 + 768 ? Short : Ok);
    for (size_t n : {20u, 60u, 100u, 137u, 138u, 139u, 200u}) add("v5_cut_" + std::to_string(n), Bytes(v5.begin(), v5.begin() + long(n)), Any);

    // Hostile run-length data.
    auto rle = [&](const std::string& name, Bytes runs, bool fourBit, int w = 8, int h = 4) {
        add(name, RunLengthFile(runs, fourBit, w, h), Ok);
    };
    for (bool four : {false, true}) {
        std::string k = four ? "rle4_" : "rle8_";
        rle(k + "run_past_row_end", {255, 0x12, 255, 0x34, 0, 1}, four);
        rle(k + "rows_past_height", {2, 1, 0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 0, 1}, four);
        rle(k + "delta_past_picture", {0, 2, 255, 255, 5, 5, 0, 1}, four);
        rle(k + "delta_cut_short", {0, 2, 3}, four);
        rle(k + "delta_to_last_pixel", {0, 2, 7, 3, 1, 9, 1, 9, 0, 1}, four);
        rle(k + "absolute_past_data", {0, 200, 1, 2, 3}, four);
        rle(k + "absolute_past_row", {0, 40, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 0, 1}, four);
        rle(k + "absolute_odd_unpadded", {0, 3, 1, 2, 3}, four);
        rle(k + "no_end_marks", {4, 1, 4, 2, 4, 3}, four);
        rle(k + "only_end_of_bitmap", {0, 1}, four);
        rle(k + "empty_data", {}, four);
        rle(k + "single_byte", {7}, four);
        rle(k + "escape_at_end", {0}, four);
        rle(k + "end_of_line_only", Bytes(64, 0), four);
        rle(k + "width_1_long_runs", {255, 1, 255, 2, 0, 0, 255, 3, 0, 1}, four, 1, 2);
        rle(k + "width_3_odd_absolute", {0, 3, 0x12, 0x30, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, four, 3, 2);
        add(k + "huge_claimed_picture", RunLengthFile({255, 1, 0, 1}, four, 20000, 20000), Bad);
        rle(k + "wide_picture", {255, 1, 0, 1}, four, 4000, 3);
    }

    // Random byte flips from a fixed seed: headers most often, anywhere sometimes.
    Lcg rng{20261208u};
    const Bytes* bases[] = {&rgb24, &pal8, &pal4, &mono, &bf16, &rle8, &rle4, &core8, &v5};
    const char* baseNames[] = {"rgb24", "pal8", "pal4", "mono", "bitfields16", "rle8", "rle4", "core8", "v5"};
    for (int i = 0; i < 180; ++i) {
        size_t which = rng.Next() % 9;
        Bytes b = *bases[which];
        int flips = 1 + int(rng.Next() % 4);
        for (int f = 0; f < flips; ++f) {
            size_t limit = (rng.Next() % 4) ? std::min<size_t>(b.size(), 70) : b.size();
            size_t at = rng.Next() % limit;
            b[at] ^= uint8_t(1u << (rng.Next() % 8));
            if (rng.Next() % 5 == 0) b[at] = uint8_t(rng.Next());
        }
        if (rng.Next() % 6 == 0) b.resize(rng.Next() % b.size());
        add(std::string("flip_") + baseNames[which] + "_" + std::to_string(i), b, Any);
    }
    return c;
}

Bytes QuartersBmp(int width, int height, const Rgb quarters[3]) {
    const uint32_t stride = (uint32_t(width) + 3) & ~3u;
    Bytes b = {'B', 'M'};
    for (uint32_t v : {14 + 40 + 5 * 4 + stride * uint32_t(height), 0u, 14u + 40 + 5 * 4, 40u, uint32_t(width), uint32_t(height), 1u | (8u << 16), 0u, 0u, 0u, 0u, 5u, 0u})
        Append32(b, v);
    const Rgb table[5] = {quarters[0], quarters[1], quarters[2], {0, 0, 0}, {255, 255, 255}};
    for (const Rgb& c : table) Append32(b, uint32_t(c.b) | uint32_t(c.g) << 8 | uint32_t(c.r) << 16);
    const size_t start = b.size();
    b.resize(start + size_t(stride) * height, 0);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // bottom-up
        uint8_t* p = b.data() + start + size_t(row) * stride;
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            p[x] = !bottom ? (right ? 1 : 0) : !right ? 2 : ((x - width / 2 + y - height / 2) % 2 ? 3 : 4);
        }
    }
    return b;
}

}  // namespace samples
