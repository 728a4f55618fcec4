#include "graphics/jpeg/JpegSamples.h"
#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>

namespace jpegsamples {

namespace {

struct JumpingErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JumpOut(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->jump, 1); }
void Quiet(j_common_ptr, int) {}

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::min(255, std::max(0, v))); }

// The grey files' pattern: a weighted mean of the colour pattern's channels.
uint8_t PatternGrey(int x, int y) {
    uint8_t rgb[3];
    PatternRgb(x, y, rgb);
    return static_cast<uint8_t>((rgb[0] * 3 + rgb[1] * 6 + rgb[2]) / 10);
}

// Four samples per pixel of the pattern in the Adobe (inverted) convention.
void PatternInks(int x, int y, uint8_t out[4]) {
    uint8_t rgb[3];
    PatternRgb(x, y, rgb);
    int k = std::max({rgb[0], rgb[1], rgb[2], uint8_t(1)});
    for (int i = 0; i < 3; ++i) out[i] = Clamp((rgb[i] * 255 + k / 2) / k);
    out[3] = static_cast<uint8_t>(k);
}

}  // namespace

// The library state lives in heap blocks the jump never skips; only plain data here.
Bytes Make(const Recipe& recipe) {
    auto* errors = static_cast<JumpingErrors*>(std::calloc(1, sizeof(JumpingErrors)));
    jpeg_std_error(&errors->mgr);
    errors->mgr.error_exit = JumpOut;
    errors->mgr.emit_message = Quiet;
    auto* c = static_cast<jpeg_compress_struct*>(std::calloc(1, sizeof(jpeg_compress_struct)));
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int components = recipe.colour == Colour::Grey ? 1 : recipe.colour == Colour::Rgb ? 3 : 4;
    auto* row = static_cast<JSAMPLE*>(std::calloc(size_t(recipe.width) * components, 1));
    Bytes result;
    c->err = &errors->mgr;
    if (!setjmp(errors->jump)) {
        jpeg_create_compress(c);
        jpeg_mem_dest(c, &out, &outSize);
        c->image_width = JDIMENSION(recipe.width);
        c->image_height = JDIMENSION(recipe.height);
        c->input_components = components;
        c->in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
        jpeg_set_defaults(c);
        if (recipe.colour == Colour::Ycck) jpeg_set_colorspace(c, JCS_YCCK);
        if (components == 4) c->write_Adobe_marker = recipe.adobeMarker;
        if (components > 1) {
            c->comp_info[0].h_samp_factor = recipe.hSample;
            c->comp_info[0].v_samp_factor = recipe.vSample;
        }
        jpeg_set_quality(c, recipe.quality, TRUE);
        if (recipe.progressive) jpeg_simple_progression(c);
        c->restart_in_rows = recipe.restartRows;
        jpeg_start_compress(c, TRUE);
        while (c->next_scanline < c->image_height) {
            int y = int(c->next_scanline);
            for (int x = 0; x < recipe.width; ++x) {
                JSAMPLE* p = row + size_t(x) * components;
                uint8_t inks[4];
                switch (recipe.colour) {
                case Colour::Rgb:
                    if (recipe.rgb) std::memcpy(p, recipe.rgb + (size_t(y) * recipe.width + x) * 3, 3);
                    else PatternRgb(x, y, p);
                    break;
                case Colour::Grey:
                    p[0] = PatternGrey(x, y);
                    break;
                default:
                    PatternInks(x, y, inks);
                    for (int i = 0; i < 4; ++i) p[i] = recipe.adobeMarker ? inks[i] : JSAMPLE(255 - inks[i]);
                }
            }
            jpeg_write_scanlines(c, &row, 1);
        }
        jpeg_finish_compress(c);
        result.assign(out, out + outSize);
    }
    jpeg_destroy_compress(c);
    std::free(out);
    std::free(row);
    std::free(c);
    std::free(errors);
    return result;
}

namespace {

size_t FindMarker(const Bytes& b, uint8_t marker, size_t from = 0) {
    for (size_t i = from; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) return i;
    return b.size();
}

size_t FindFrame(const Bytes& b) { return std::min({FindMarker(b, 0xC0), FindMarker(b, 0xC1), FindMarker(b, 0xC2)}); }

}  // namespace

void PatternRgb(int x, int y, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(x * 5 + y);
    rgb[1] = static_cast<uint8_t>(y * 3 + ((x / 8) % 2) * 60);
    rgb[2] = static_cast<uint8_t>(255 - x * 2 - y);
}

Bytes WithSize(Bytes b, int width, int height) {
    size_t f = FindFrame(b);
    if (f + 9 > b.size()) return b;
    b[f + 5] = uint8_t(height >> 8), b[f + 6] = uint8_t(height);
    b[f + 7] = uint8_t(width >> 8), b[f + 8] = uint8_t(width);
    return b;
}

namespace {

struct RowSource {
    int width, height;
    const std::function<const uint8_t*(int y)>& row;
    const uint8_t* palette;
    bool grey;
};

double ErrorAgainstPattern(const RowSource& rows, int dx, int dy) {
    double sum = 0;
    long count = 0;
    for (int y = std::max(0, dy); y < rows.height && y - dy < rows.height; ++y) {
        const uint8_t* row = rows.row(y);
        for (int x = std::max(0, dx); x < rows.width && x - dx < rows.width; ++x) {
            const uint8_t* bgr = rows.palette ? rows.palette + 3 * row[x] : row + 3 * x;
            uint8_t rgb[3];
            PatternRgb(x - dx, y - dy, rgb);
            if (rows.grey) {
                sum += std::abs(bgr[0] - PatternGrey(x - dx, y - dy)) * 3;
            } else {
                sum += std::abs(bgr[2] - rgb[0]) + std::abs(bgr[1] - rgb[1]) + std::abs(bgr[0] - rgb[2]);
            }
            ++count;
        }
    }
    return count ? sum / (3.0 * count) : 1e9;
}

}  // namespace

std::string CheckAgainstPattern(int width, int height, const std::function<const uint8_t*(int y)>& row,
                                const Bytes& paletteBgr, bool grey, double tolerance) {
    const RowSource rows{width, height, row, paletteBgr.empty() ? nullptr : paletteBgr.data(), grey};
    const double here = ErrorAgainstPattern(rows, 0, 0);
    if (!(here < tolerance)) return "mean error " + std::to_string(here);
    const int moves[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& m : moves) {
        if (m[1] != 0 && rows.height < 2) continue;  // one row cannot be moved
        const double moved = ErrorAgainstPattern(rows, m[0], m[1]);
        if (!(here < moved))
            return "closer to the pattern moved by (" + std::to_string(m[0]) + ", " + std::to_string(m[1]) +
                   "): " + std::to_string(moved) + " against " + std::to_string(here);
    }
    return "";
}

Bytes WithApp1(Bytes file, const Bytes& payload) {
    const size_t length = payload.size() + 2;  // counts itself
    file.insert(file.begin() + 2, payload.begin(), payload.end());
    file.insert(file.begin() + 2, {0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length)});
    return file;
}

static void Put(Bytes& b, size_t at, int n, uint32_t v, bool big) {
    for (int i = 0; i < n; ++i) b[at + size_t(i)] = uint8_t(v >> 8 * (big ? n - 1 - i : i));
}

Bytes ExifBlock(uint16_t orientation, bool big) {
    Bytes b = {'E', 'x', 'i', 'f', 0, 0, uint8_t(big ? 'M' : 'I'), uint8_t(big ? 'M' : 'I')};
    b.resize(44);
    // From the TIFF header (at 6) on: 42, the first directory at 8 (from 6) with two entries, the
    // resolution unit and the orientation (SHORT, one value, in the first two of four bytes).
    const uint32_t fields[][3] = {{8, 2, 42}, {10, 4, 8}, {14, 2, 2}, {16, 2, 0x0128}, {18, 2, 3}, {20, 4, 1},
                                  {24, 2, 2}, {28, 2, 0x0112}, {30, 2, 3}, {32, 4, 1}, {36, 2, orientation}};
    for (const auto& f : fields) Put(b, f[0], int(f[1]), f[2], big);
    return b;
}

std::vector<ExifShape> ExifShapes() {
    std::vector<ExifShape> shapes;
    const struct { const char* name; int at, n; uint32_t value, next = 0; int orientation = 1; } changes[] = {
        {"as-long", 30, 2, 4}, {"two-values", 32, 4, 2}, {"not-exif", 5, 1, 1}, {"mixed-order", 7, 1, 'X'},
        {"not-42", 8, 2, 43}, {"directory-at-0", 10, 4, 0}, {"directory-in-header", 10, 4, 4},
        {"directory-at-last-byte", 10, 4, 37}, {"directory-past-end", 10, 4, 0xFFFFFFF0},
        {"count-past-end", 14, 2, 0xFFFF}, {"count-one-past-end", 14, 2, 3}, {"one-entry", 14, 2, 1},
        {"next-is-itself", 40, 4, 8, 0, 6}, {"other-tag-next-is-itself", 28, 2, 0x010F, 8}};
    for (bool big : {false, true}) {
        const std::string order = big ? "mm-" : "ii-";
        for (uint16_t v : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFFFF})
            shapes.push_back({order + "value-" + std::to_string(v), ExifBlock(v, big), v >= 1 && v <= 8 ? v : 1});
        const Bytes whole = ExifBlock(6, big);
        for (const auto& c : changes) {
            Bytes b = whole;
            Put(b, size_t(c.at), c.n, c.value, big);
            if (c.next) Put(b, 40, 4, c.next, big);  // the link to the next directory
            shapes.push_back({order + c.name, b, c.orientation});
        }
        // Cut anywhere: only a whole directory counts (the link after it is not needed).
        for (size_t cut = 0; cut < whole.size(); ++cut)
            shapes.push_back({order + "cut-" + std::to_string(cut), Bytes(whole.begin(), whole.begin() + long(cut)),
                              cut >= whole.size() - 4 ? 6 : 1});
    }
    return shapes;
}

std::vector<Named> GoodFiles() {
    const Recipe recipes[] = {
        {"baseline-420", 67, 45},
        {"baseline-422", 64, 40, Colour::Rgb, 2, 1},
        {"baseline-444", 33, 17, Colour::Rgb, 1, 1},
        {"progressive", 70, 50, Colour::Rgb, 2, 2, true},
        {"grey", 41, 30, Colour::Grey},
        {"grey-progressive", 40, 24, Colour::Grey, 1, 1, true},
        {"restart-markers", 96, 64, Colour::Rgb, 2, 2, false, 1},
        {"one-pixel-tall", 50, 1},
        {"cmyk-adobe", 32, 24, Colour::Cmyk, 1, 1},
        {"cmyk-plain", 32, 24, Colour::Cmyk, 1, 1, false, 0, false},
        {"ycck", 32, 24, Colour::Ycck, 1, 1},
    };
    std::vector<Named> files;
    for (const Recipe& s : recipes) files.push_back({s.name, Make(s)});
    return files;
}

std::vector<Named> HostileFiles() {
    std::vector<Named> files;
    const Recipe bases[] = {
        {"baseline", 64, 48, Colour::Rgb, 2, 2, false, 1},
        {"progressive", 64, 48, Colour::Rgb, 2, 2, true},
        {"grey", 48, 32, Colour::Grey},
        {"cmyk", 32, 32, Colour::Cmyk, 1, 1, true},
    };
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (const Recipe& recipe : bases) {
        const Bytes good = Make(recipe);
        const std::string base = recipe.name;
        // Cut short anywhere: in the header, in a table, in the middle of a scan.
        for (int i = 1; i <= 30; ++i) {
            size_t cut = good.size() * size_t(i) / 31;
            files.push_back({base + "-cut-" + std::to_string(cut), Bytes(good.begin(), good.begin() + cut)});
        }
        // Damaged tables and frame: bytes inside the first quantisation table, Huffman table,
        // frame and scan header replaced.
        const uint8_t markers[] = {0xDB, 0xC4, 0xC0, 0xC2, 0xDA};
        for (uint8_t m : markers) {
            size_t at = FindMarker(good, m);
            if (at >= good.size()) continue;
            for (int k = 0; k < 6; ++k) {
                Bytes b = good;
                size_t pos = std::min(b.size() - 1, at + 2 + next() % 20);
                b[pos] = static_cast<uint8_t>(next());
                files.push_back({base + "-table-" + std::to_string(m) + "-" + std::to_string(k), b});
            }
        }
        // Scattered damage in the entropy-coded data.
        for (int k = 0; k < 10; ++k) {
            Bytes b = good;
            for (int n = 0; n < 8; ++n) b[good.size() / 3 + next() % (good.size() / 2)] = static_cast<uint8_t>(next());
            files.push_back({base + "-scan-damage-" + std::to_string(k), b});
        }
        // Sizes no picture has, or more pixels than any picture may have.
        const int sizes[][2] = {{65500, 65500}, {0, 48}, {64, 0}, {65535, 1}, {40000, 30000}, {1, 65535}};
        for (auto& s : sizes)
            files.push_back({base + "-size-" + std::to_string(s[0]) + "x" + std::to_string(s[1]),
                             WithSize(good, s[0], s[1])});
        // A marker whose length runs past the end of the file.
        Bytes pastEnd(good.begin(), good.begin() + FindMarker(good, 0xDB));
        pastEnd.insert(pastEnd.end(), {0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x', 'i', 'f'});
        files.push_back({base + "-marker-past-end", pastEnd});
        Bytes pastEndScan = good;
        pastEndScan.resize(FindMarker(good, 0xD9));
        pastEndScan.insert(pastEndScan.end(), {0xFF, 0xDB, 0x40, 0x00, 0x00});
        files.push_back({base + "-table-past-end", pastEndScan});
        if (base == "baseline")  // Exif blocks of every shape, in a file that decodes all the same
            for (const ExifShape& e : ExifShapes()) files.push_back({"exif-" + e.name, WithApp1(good, e.payload)});
    }
    // Scans without end: the last scan of a progressive file repeated far past any real file.
    {
        const Bytes good = Make({"p", 64, 48, Colour::Rgb, 2, 2, true});
        size_t end = FindMarker(good, 0xD9);
        size_t last = 0;
        for (size_t at = FindMarker(good, 0xDA); at < end; at = FindMarker(good, 0xDA, at + 2)) last = at;
        Bytes b(good.begin(), good.begin() + end);
        for (int i = 0; i < 1200; ++i) b.insert(b.end(), good.begin() + last, good.begin() + end);
        b.insert(b.end(), {0xFF, 0xD9});
        files.push_back({"endless-scans", b});
        // Fewer scans than kMaxScans over a picture of 2048 x 1536: the first scan (the DC
        // values of all components) repeated walks all its blocks for a hundred bytes each time.
        const size_t first = FindMarker(good, 0xDA), second = FindMarker(good, 0xDA, first + 2);
        Bytes big(good.begin(), good.begin() + long(end));
        for (int i = 0; i < 490; ++i) big.insert(big.end(), good.begin() + long(first), good.begin() + long(second));
        big.insert(big.end(), {0xFF, 0xD9});
        files.push_back({"many-scans-2048x1536", WithSize(big, 2048, 1536)});
    }
    // A few hundred bytes claiming a picture of a quarter of a gigabyte and more: the data
    // ends within the first band of blocks.
    files.push_back({"baseline-claims-16000x16000", WithSize(Make({"b", 32, 16}), 16000, 16000)});
    files.push_back({"progressive-claims-16384x16384", WithSize(Make({"p", 32, 16, Colour::Rgb, 2, 2, true}), 16384, 16384)});
    files.push_back({"empty", {}});
    const char text[] = "This is not a picture.\r\n";
    files.push_back({"text", Bytes(text, text + sizeof text - 1)});
    files.push_back({"soi-only", {0xFF, 0xD8}});
    files.push_back({"soi-eoi", {0xFF, 0xD8, 0xFF, 0xD9}});
    files.push_back({"soi-ff", {0xFF, 0xD8, 0xFF}});
    return files;
}

}  // namespace jpegsamples
