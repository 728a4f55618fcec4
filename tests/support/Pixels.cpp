#include "support/Pixels.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "graphics/bitmap/BmpSamples.h"

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

ChannelDifference DifferenceOf(const Pixels& a, const Pixels& b) {
    ChannelDifference d;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8) {
            const int e = std::abs(int((a.rgb[i] >> shift) & 0xFF) - int((b.rgb[i] >> shift) & 0xFF));
            d.mean += e, d.largest = std::max(d.largest, e);
        }
    d.mean /= 3.0 * double(a.rgb.size());
    return d;
}

bool IsDark(uint32_t px, uint32_t limit) {
    return ((px >> 16) & 0xFF) < limit && ((px >> 8) & 0xFF) < limit && (px & 0xFF) < limit;
}

long Pixels::Count(const RECT& area, const std::function<bool(uint32_t)>& match) const {
    long n = 0;
    for (int y = std::max<int>(0, area.top); y < std::min<int>(height, area.bottom); ++y)
        for (int x = std::max<int>(0, area.left); x < std::min<int>(width, area.right); ++x) n += match(At(x, y));
    return n;
}

long Pixels::Count(const RECT& area, uint32_t colour, int tolerance) const {
    return Count(area, [&](uint32_t px) { return Near(px, colour, tolerance); });
}

RECT Pixels::BoxOf(const std::function<bool(uint32_t)>& match) const {
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (match(At(x, y)))
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
    return box.right ? box : RECT{0, 0, 0, 0};
}

RECT Pixels::BoxOf(uint32_t colour, int tolerance) const {
    return BoxOf([&](uint32_t px) { return Near(px, colour, tolerance); });
}

Pixels Pixels::Crop(const RECT& area) const {
    Pixels part{area.right - area.left, area.bottom - area.top, {}};
    for (int y = area.top; y < area.bottom; ++y)
        part.rgb.insert(part.rgb.end(), rgb.begin() + size_t(y) * width + area.left, rgb.begin() + size_t(y) * width + area.right);
    return part;
}

::testing::AssertionResult Pixels::Shows(const Pixels& want, int left, int top) const {
    if (left < 0 || top < 0 || left + want.width > width || top + want.height > height)
        return ::testing::AssertionFailure() << want.width << " x " << want.height << " at (" << left << ", " << top
                                             << ") is not inside " << width << " x " << height;
    long wrong = 0;
    char first[96] = "";
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x)
            if (At(left + x, top + y) != want.At(x, y) && wrong++ == 0)
                std::snprintf(first, sizeof first, "the first at (%d, %d) is %06X instead of %06X", left + x, top + y,
                              unsigned(At(left + x, top + y)), unsigned(want.At(x, y)));
    if (wrong == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels differ; " << first;
}

void Pixels::SaveBmp(const std::string& path) const {
    samples::Picture picture{width, height, {}};
    for (uint32_t px : rgb) picture.pixels.push_back({uint8_t(px >> 16), uint8_t(px >> 8), uint8_t(px)});
    const samples::Bytes bytes = samples::WriteBmp(picture, samples::Form());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

Pixels PixelsOf(const samples::Picture& picture) {
    Pixels p{picture.width, picture.height, {}};
    for (const samples::Rgb& c : picture.pixels) p.rgb.push_back((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b);
    return p;
}

::testing::AssertionResult ShowsPlaceholder(const Pixels& shot, const RECT& box, uint32_t around) {
    constexpr uint32_t kWhite = 0xFFFFFF;
    const int width = box.right - box.left, height = box.bottom - box.top, even = height & ~1;
    const RECT ring{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1}, inner{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
    const Pixels inside = shot.Crop(box);
    const RECT ink = inside.BoxOf([](uint32_t px) { return px != kWhite; });
    auto failure = [&] {
        return ::testing::AssertionFailure() << "the box " << width << " x " << height << " at (" << box.left << ", "
                                             << box.top << ") with ink (" << ink.left << ", " << ink.top << ")-("
                                             << ink.right << ", " << ink.bottom << "): ";
    };
    if (shot.Count(ring, around) != long(ring.right - ring.left) * (ring.bottom - ring.top) - long(width) * height)
        return failure() << "not all " << std::hex << around << " right outside it";
    if (inside.Count(around) != 0) return failure() << "the surface shows inside it";
    if (shot.Count(box, kWhite) - shot.Count(inner, kWhite) != long(width) * height - long(width - 4) * (height - 4))
        return failure() << "its rim is not white";
    if (inside.Count(inside.All(), [](uint32_t px) { return IsDark(px); }) <= 150) return failure() << "no text drawn";
    // Three 24-pixel characters on one line of 24 to 28 pixels, whose top is (height - line) / 2.
    if (ink.right - ink.left <= 50 || ink.bottom - ink.top <= 18 || ink.bottom - ink.top > 28)
        return failure() << "not three 24-pixel characters on one line";
    if (std::abs(ink.left - (width - ink.right)) > 1) return failure() << "not centred across";
    if (ink.top < (even - 28) / 2 || ink.bottom > (even - 24) / 2 + 28 || std::abs(ink.top - (even - ink.bottom)) > 2)
        return failure() << "not centred down";
    return ::testing::AssertionSuccess();
}

namespace {

// The next header number of a PPM, skipping blanks and "#" comments; the one blank after
// it is consumed.
bool ReadHeaderNumber(FILE* f, int& value) {
    int c = std::fgetc(f);
    for (;;) {
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = std::fgetc(f);
        if (c != '#') break;
        while (c != '\n' && c != EOF) c = std::fgetc(f);
    }
    if (c < '0' || c > '9') return false;
    for (value = 0; c >= '0' && c <= '9'; c = std::fgetc(f)) value = value * 10 + (c - '0');
    return true;
}

}  // namespace

Pixels ReadPpm(const std::string& windowsPath) {
    Pixels p;
    FILE* f = std::fopen(windowsPath.c_str(), "rb");
    if (!f) return p;
    int maxval = 0;
    std::vector<unsigned char> bytes;
    if (std::fgetc(f) == 'P' && std::fgetc(f) == '6' && ReadHeaderNumber(f, p.width) && ReadHeaderNumber(f, p.height) &&
        ReadHeaderNumber(f, maxval) && maxval == 255 && p.width > 0 && p.height > 0) {
        bytes.resize(static_cast<size_t>(p.width) * p.height * 3);
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    }
    std::fclose(f);
    if (bytes.empty()) return Pixels();
    for (size_t i = 0; i < bytes.size(); i += 3) p.rgb.push_back((bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2]);
    return p;
}
