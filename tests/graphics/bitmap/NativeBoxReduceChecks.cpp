// The area-averaging reduction, natively under the sanitizers: sizes, flat colours, and
// averages worked out by hand. Exit status 0 only when all pass.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>
#include "graphics/bitmap/BoxReduce.h"
#include "native/CheckReport.h"

namespace {

struct Pixel {
    uint8_t b, g, r;
    bool operator==(const Pixel& o) const { return b == o.b && g == o.g && r == o.r; }
};

// A source picture from a string of grey levels or pixels, row 0 at the top.
struct Source {
    uint32_t width, height;
    std::vector<Pixel> pixels;
};

std::vector<Pixel> Greys(std::vector<uint8_t> levels) {
    std::vector<Pixel> p;
    for (uint8_t v : levels) p.push_back({v, v, v});
    return p;
}

Source Grey(uint32_t w, uint32_t h, std::vector<uint8_t> levels) { return {w, h, Greys(levels)}; }

Source Flat(uint32_t w, uint32_t h, Pixel p) { return {w, h, std::vector<Pixel>(size_t(w) * h, p)}; }

// `band` rows at a time; a band of 0 feeds each band bottom row first (negative stride).
std::vector<Pixel> Reduce(const Source& s, uint32_t w, uint32_t h, uint32_t band) {
    std::vector<uint8_t> src, dst(size_t(w) * h * 4, 0xAB);
    for (const Pixel& p : s.pixels) src.insert(src.end(), {p.b, p.g, p.r, 0xEE});
    box::Reducer reducer(s.width, s.height, w, h, dst.data(), size_t(w) * 4);
    const size_t stride = size_t(s.width) * 4;
    for (uint32_t y = 0; y < s.height;) {
        uint32_t n = band ? band : 2;
        if (y + n > s.height) n = s.height - y;
        if (band) {
            reducer.AddRows(src.data() + y * stride, ptrdiff_t(stride), n);
        } else {
            // The band as GDI gives a bottom-up picture's rows: the band's bottom row first.
            std::vector<uint8_t> flipped;
            for (uint32_t k = n; k-- > 0;)
                flipped.insert(flipped.end(), src.begin() + (y + k) * stride, src.begin() + (y + k + 1) * stride);
            reducer.AddRows(flipped.data() + (n - 1) * stride, -ptrdiff_t(stride), n);
        }
        y += n;
    }
    check::Expect(reducer.Done(), "not done after every row");
    std::vector<Pixel> out;
    for (size_t i = 0; i < dst.size(); i += 4) {
        check::Expect(dst[i + 3] == 0, "fourth byte " + std::to_string(dst[i + 3]));
        out.push_back({dst[i], dst[i + 1], dst[i + 2]});
    }
    return out;
}

struct Case {
    const char* name;
    Source source;
    uint32_t width, height;
    std::vector<Pixel> expected;
};

}  // namespace

int main() {
    const Pixel teal{200, 150, 17};
    const std::vector<Case> cases = {
        // Halving: (0 + 100) / 2 = 50, (200 + 50) / 2 = 125.
        {"4x1 to 2x1", Grey(4, 1, {0, 100, 200, 50}), 2, 1, Greys({50, 125})},
        // Each output pixel covers 1.5 source pixels: (0 + 90 x 0.5) / 1.5 = 30 and
        // (90 x 0.5 + 180) / 1.5 = 150.
        {"3x1 to 2x1", Grey(3, 1, {0, 90, 180}), 2, 1, Greys({30, 150})},
        // The same down a column.
        {"1x3 to 1x2", Grey(1, 3, {0, 90, 180}), 1, 2, Greys({30, 150})},
        // Channels apart: blue (10 + 20 + 30 + 40) / 4 = 25, green 0, red (255 x 2) / 4 = 127.5 -> 128.
        {"2x2 to 1x1", {2, 2, {{10, 0, 255}, {20, 0, 0}, {30, 0, 255}, {40, 0, 0}}}, 1, 1, {{25, 0, 128}}},
        // A one-pixel checkerboard: every 2 x 2 block holds two blacks and two whites,
        // 127.5 -> 128 each: an even grey.
        {"checkerboard 4x4 to 2x2", Grey(4, 4, {0, 255, 0, 255, 255, 0, 255, 0, 0, 255, 0, 255, 255, 0, 255, 0}), 2, 2,
         Greys({128, 128, 128, 128})},
        // One white pixel in the middle of 3 x 3: each output pixel covers 1.5 x 1.5, of
        // which 0.5 x 0.5 is the white one: 255 x 0.25 / 2.25 = 28.3 -> 28.
        {"3x3 to 2x2 centre", Grey(3, 3, {0, 0, 0, 0, 255, 0, 0, 0, 0}), 2, 2, Greys({28, 28, 28, 28})},
        // A flat colour stays exact however the sizes divide.
        {"flat 7x5 to 3x2", Flat(7, 5, teal), 3, 2, std::vector<Pixel>(6, teal)},
        {"flat 1000x3 to 999x1", Flat(1000, 3, teal), 999, 1, std::vector<Pixel>(999, teal)},
        // No reduction: the pixels as they are.
        {"2x2 to 2x2", Grey(2, 2, {1, 2, 3, 4}), 2, 2, Greys({1, 2, 3, 4})},
    };
    for (const Case& c : cases) {
        for (uint32_t band : {1u, 3u, 0u}) {
            std::vector<Pixel> got = Reduce(c.source, c.width, c.height, band);
            if (got == c.expected) continue;
            std::string shown = std::string(c.name) + " (bands of " + std::to_string(band) + "):";
            for (size_t i = 0; i < got.size() && i < 6; ++i)
                shown += " (" + std::to_string(got[i].b) + "," + std::to_string(got[i].g) + "," + std::to_string(got[i].r) + ")";
            check::Fail(shown);
        }
    }

    struct Size {
        uint32_t sw, sh, dw, dh;
        bool accepted;
    };
    const Size sizes[] = {
        {6000, 4000, 1604, 1069, true}, {5, 5, 5, 5, true},        {5, 5, 0, 3, false},
        {5, 5, 3, 0, false},            {5, 5, 6, 3, false},       {5, 5, 3, 6, false},
        {1u << 22, 1, 1, 1, true},      {(1u << 22) + 1, 1, 1, 1, false}, {1, (1u << 22) + 1, 1, 1, false},
    };
    for (const Size& s : sizes) {
        const std::string size = std::to_string(s.sw) + " x " + std::to_string(s.sh) + " to " + std::to_string(s.dw) +
                                 " x " + std::to_string(s.dh);
        check::Expect(box::CanReduce(s.sw, s.sh, s.dw, s.dh) == s.accepted, "CanReduce " + size);
        if (s.accepted) continue;
        uint8_t out[16];
        try {
            box::Reducer r(s.sw, s.sh, s.dw, s.dh, out, 4);
            check::Fail("Reducer took " + size);
        } catch (const std::invalid_argument&) {
        }
    }
    std::printf("box reduction: %zu cases\n", cases.size());
    return check::Finish("box reduction");
}
