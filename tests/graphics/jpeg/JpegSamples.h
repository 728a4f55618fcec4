// JPEG files the tests make themselves through libjpeg's compressor, a measure of how far
// a decode is from the pattern they were made of, and damaged variants for the hostile-file
// corpus. Plain C++, built for Windows tests and natively alike.
#pragma once
#include "support/SampleBytes.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace jpegsamples {

using samplebytes::Bytes;

enum class Colour { Rgb, Grey, Cmyk, Ycck };

struct Recipe {
    const char* name;
    int width;
    int height;
    Colour colour = Colour::Rgb;
    int hSample = 2, vSample = 2;  // luminance sampling: 2x2 is 4:2:0, 2x1 4:2:2, 1x1 4:4:4
    bool progressive = false;
    int restartRows = 0;           // restart interval in MCU rows, 0 for none
    bool adobeMarker = true;       // four-component files: write the Adobe marker (inverted inks)
    int quality = 85;
    const uint8_t* rgb = nullptr;  // colour files: red, green, blue rows instead of the pattern
};

// The colour (red, green, blue) of the test pattern at a pixel.
void PatternRgb(int x, int y, uint8_t rgb[3]);

// A file of the pattern as `recipe` asks. Four-component files hold the pattern's inks such
// that the Adobe convention (inverted) or the plain one gives the pattern back.
Bytes Make(const Recipe& recipe);

// The file with its frame header claiming another size; nothing else changes.
Bytes WithSize(Bytes file, int width, int height);

// Decoded rows against the pattern a file was made of: "" when the mean difference per
// channel is below `tolerance` and smaller than against the pattern moved by a pixel either
// way (the picture is the pattern, in place); else what is wrong. `row(y)` gives blue,
// green, red triples, or palette indexes when `paletteBgr` (blue, green, red for each of
// 256 entries) is not empty; `grey` compares with the grey files' pattern.
std::string CheckAgainstPattern(int width, int height, const std::function<const uint8_t*(int y)>& row,
                                const Bytes& paletteBgr, bool grey, double tolerance);

// The file with an APP1 marker of `payload` first; an Exif block (such a payload) of an
// orientation; Exif blocks of every shape in both byte orders, each with its orientation.
Bytes WithApp1(Bytes file, const Bytes& payload);
Bytes ExifBlock(uint16_t orientation, bool bigEndian);
struct ExifShape { std::string name; Bytes payload; int orientation; };
std::vector<ExifShape> ExifShapes();

// Four-component (CMYK or YCCK) files by their names below, which come out as colour rows.
inline bool IsFourComponent(const std::string& name) { return name.rfind("cmyk", 0) == 0 || name == "ycck"; }

// The files the suites decode: every accepted form above, and hostile variants of them
// (truncations, damaged tables, absurd sizes, endless scans, markers past the end).
struct Named {
    std::string name;
    Bytes bytes;
};
std::vector<Named> GoodFiles();
std::vector<Named> HostileFiles();

}  // namespace jpegsamples
