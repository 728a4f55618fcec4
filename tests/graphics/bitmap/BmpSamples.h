// BMP files made in code for the tests: one small reference picture written in every form
// the reader accepts, and a corpus of damaged files. Plain C++ (no platform headers), so
// the native sanitizer build runs the very same corpus.
#pragma once
#include "support/SampleBytes.h"
#include <cstdint>
#include <string>
#include <vector>

namespace samples {

using samplebytes::Bytes;
using samplebytes::Rgb;

// A picture given as colours, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// How a file is written.
struct Form {
    uint32_t headerSize = 40;   // 12, 40, 108 or 124
    int bitCount = 24;          // 1, 4, 8, 16, 24, 32
    uint32_t compression = 0;   // BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS
    bool topDown = false;
    uint32_t masks[3] = {0, 0, 0};  // for BI_BITFIELDS (0: the 565 or 888 defaults)
    uint32_t clrUsed = 0;       // written into the header; 0: the full table
    uint32_t gapAfterTable = 0; // bytes between colour table and pixels, bfOffBits pointing past them
    bool writeSizeImage = true; // biSizeImage filled in (else 0)
    std::string Name() const;
};
// A form of the given depth, compression and header, the other fields at their defaults.
inline Form FormOf(int bitCount, uint32_t compression = 0, uint32_t headerSize = 40) {
    Form form;
    form.headerSize = headerSize;
    form.bitCount = bitCount;
    form.compression = compression;
    return form;
}

// The reference picture for a depth: its colours can be stored exactly at that depth
// (palette pictures use the palette's colours; 16-bit pictures use 0 and full channels).
// `width` odd so that rows need padding.
Picture ReferencePicture(int bitCount, int width = 13, int height = 7);
// A picture of one colour, for files whose place on the screen or the page is measured.
Picture SolidPicture(int width, int height, Rgb colour);
// The palette ReferencePicture uses for 1, 4 and 8 bits per pixel.
std::vector<Rgb> ReferencePalette(int bitCount);

// Writes `picture` in `form`. Palette forms need a picture made by ReferencePicture.
Bytes WriteBmp(const Picture& picture, const Form& form);

// A photo-sized 8-bit file in four quarters: `quarters` top left, top right and bottom left
// flat, and bottom right a one-pixel black and white checkerboard (white at the quarter's
// top left). Palette: the three colours, black, white. Written straight as bytes, without a
// Picture of that size in memory. Width and height even.
Bytes QuartersBmp(int width, int height, const Rgb quarters[3]);

// Every accepted form, for the round-trip tests.
std::vector<Form> AcceptedForms();

// What reading a damaged file must end in.
enum class Outcome { InvalidImage, ReadError, Picture, EitherWay };
struct BadFile {
    std::string name;
    Bytes bytes;
    Outcome expected;
};
// At least 200 damaged or truncated files, the same on every run (fixed seed).
std::vector<BadFile> MalformedCorpus();

using samplebytes::Put16;
using samplebytes::Put32;

}  // namespace samples
