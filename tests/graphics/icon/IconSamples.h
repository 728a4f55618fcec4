// Icon files built in memory for the tests: bitmap and PNG entries of any size, depth and
// transparency, and a corpus of damaged and hostile files. Plain C++ without windows.h: the
// native sanitizer build and the fuzzer's seeds use the same files as the Windows tests.
#pragma once
#include "support/SampleBytes.h"
#include <cstdint>
#include <string>
#include <vector>

namespace icosamples {

using samplebytes::Bytes;
using samplebytes::Rgb;

// One directory entry and its image.
struct Entry {
    int entryWidth = 32, entryHeight = 32;  // the directory's size; 256 is written as 0
    uint16_t colourCount = 0;               // bColorCount and bReserved as one number
    int width = 32, height = 32;            // the image's own pixel size
    int bitCount = 24;                      // 1, 4 or 8 (a table of the pixels' colours), 24, 32
    std::vector<Rgb> pixels;                // width x height, top row first
    std::vector<uint8_t> seeThrough;        // width x height, 1 where the mask is set; empty: none
    bool png = false;                       // the image as a PNG stream (RGBA) instead
    // Rows of the AND mask written (-1: all). With fewer, as favicons are written, 32-bit
    // pixels carry the see-through as alpha 0 and the rest as alpha 255.
    int maskRows = -1;
    bool alphaUnused = false;  // then alpha 0 throughout instead, as writers that ignore it leave it

    Rgb At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A square entry of one colour; its directory size is its pixel size.
Entry SolidEntry(int size, Rgb colour, int bitCount = 24, uint16_t colourCount = 0);
// Four quadrants: top left, top right, bottom left, bottom right.
Entry QuadrantEntry(int size, const Rgb quadrant[4], int bitCount = 24);

// The icon file: header of `type`, directory, then the images in entry order.
Bytes WriteIcon(const std::vector<Entry>& entries, uint16_t type = 1);
// An RGBA PNG stream (stored deflate blocks) with alpha 0 where `seeThrough` is set.
Bytes WritePng(int width, int height, const std::vector<Rgb>& pixels, const std::vector<uint8_t>& seeThrough);

enum class Outcome { Picture, ReadError, InvalidImage, EitherWay };
struct Hostile {
    std::string name;
    Bytes bytes;
    Outcome expected;  // at load
};
// More than 200 damaged and hostile files: cut anywhere, every header and directory field
// bent, sizes that overflow, PNG entries with broken headers, and random byte damage.
std::vector<Hostile> HostileCorpus();

}  // namespace icosamples
