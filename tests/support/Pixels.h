// Pixels read back from the screen, a drawing surface, a printed page or a file, and the
// few questions the tests ask of them.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace samples {
struct Picture;
}

// 0x00RRGGBB from a COLORREF (which is 0x00BBGGRR).
inline uint32_t RgbOf(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
// Each channel of `a` within `tolerance` of the same channel of `b`.
bool Near(uint32_t a, uint32_t b, int tolerance);
// Every channel below `limit`: text and lines, whatever their smoothing.
bool IsDark(uint32_t px, uint32_t limit = 0x80);

// 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;

    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    RECT All() const { return RECT{0, 0, width, height}; }
    // Pixels inside `area` (as far as it lies in the picture) that `match`, or that are
    // within `tolerance` of `colour`.
    long Count(const RECT& area, const std::function<bool(uint32_t)>& match) const;
    long Count(const RECT& area, uint32_t colour, int tolerance = 0) const;
    long Count(uint32_t colour, int tolerance = 0) const { return Count(All(), colour, tolerance); }
    // The smallest rectangle (right and bottom exclusive) holding every pixel that
    // matches; all zero when none does.
    RECT BoxOf(const std::function<bool(uint32_t)>& match) const;
    RECT BoxOf(uint32_t colour, int tolerance = 0) const;
    // The part inside `area`, which lies in the picture.
    Pixels Crop(const RECT& area) const;
    // `want` compared pixel by pixel with this picture's pixels from (left, top) on; the
    // number of differences and the first are reported.
    ::testing::AssertionResult Shows(const Pixels& want, int left = 0, int top = 0) const;
    // Writes a 24-bit BMP, for looking at a failure afterwards.
    void SaveBmp(const std::string& windowsPath) const;
};

Pixels PixelsOf(const samples::Picture& picture);
// Each channel of `a` against the same one of `b` (of the same size): the mean and the largest difference.
struct ChannelDifference { double mean = 0; int largest = 0; };
ChannelDifference DifferenceOf(const Pixels& a, const Pixels& b);

// An empty slot as the user sees it: `box` white with "未設定" (24-pixel characters) centred
// in it by its line height, the half truncated, and `around` right outside it.
::testing::AssertionResult ShowsPlaceholder(const Pixels& shot, const RECT& box, uint32_t around);
// A binary PPM (P6, maxval 255); 0 x 0 when the file cannot be read as one.
Pixels ReadPpm(const std::string& windowsPath);
