// Driving libjpeg over bytes held in memory: reading a file's header, decoding it row by row
// into a caller's pixel store, and encoding rows back into a file. Plain C++ with no platform
// calls, so that the decoder the program uses is the one the native sanitizer checks and the
// fuzzer run.
//
// The library reports a fatal error by calling error_exit, which must not return. Every
// library call here runs inside RunGuarded (JpegCodec.cpp), which sets the library's jump
// point; error_exit jumps back to it and the error is raised as a C++ exception only there,
// after the library's frames are gone. No frame that the jump skips holds anything with a
// destructor: the skipped frames are the library's own C frames and the small callbacks of
// JpegCodec.cpp, and the one callback that runs program code (the progress report) catches
// whatever that code throws and carries it across the jump.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

namespace jpeg {

// Colours of a quantised picture: the library's two-pass quantiser makes at most this many.
constexpr int kQuantisedColours = 236;
// Progressive scans a file may have; a few bytes of file can otherwise ask for thousands of
// passes over a big picture's coefficients.
#ifdef JPEG_MAX_SCANS
constexpr int kMaxScans = JPEG_MAX_SCANS;
#else
constexpr int kMaxScans = 500;
#endif
// Every scan of a file with several walks the coefficients of each block of its components,
// however few bytes the scan itself takes. The scans may walk this many times the picture's
// blocks, and beyond that as many blocks as the file has bytes times kBlocksPerByte; past
// that the file is read as if it ended there, and the picture shows the scans read so far.
constexpr uint64_t kFreeScanPasses = 12;
constexpr uint64_t kBlocksPerByte = 64;
// Memory the library may take for its whole-image buffers (progressive coefficients, the
// two-pass quantiser's image), beside the picture's own pixels.
#ifdef JPEG_MAX_LIBRARY_MEMORY
constexpr uint64_t kMaxLibraryMemory = JPEG_MAX_LIBRARY_MEMORY;
#else
constexpr uint64_t kMaxLibraryMemory = 2ull << 30;
#endif

// A fatal library error: `code` is the library's message code (msg_code).
class Failure : public std::exception {
public:
    explicit Failure(int code) : code_(code) {}
    int code() const noexcept { return code_; }
    const char* what() const noexcept override { return "JPEG library error"; }

private:
    int code_;
};

// The library's message codes this program raises itself.
int CodeInputEmpty();   // JERR_INPUT_EMPTY
int CodeNoImage();      // JERR_NO_SOI (not a JPEG file)
int CodeTooBig();       // JERR_IMAGE_TOO_BIG (pixel memory over the limit)
int CodeOutOfMemory();  // JERR_OUT_OF_MEMORY
int CodeTooManyScans(); // JERR_BAD_PROGRESSION (more scans than kMaxScans)

struct Header {
    int32_t width = 0;
    int32_t height = 0;
    int components = 0;
    bool progressive = false;  // more than one scan
    // The EXIF orientation of the first Exif block (1 to 8; 1 when there is none or it is
    // damaged): how the stored rows are to be turned for the picture to stand upright.
    int orientation = 1;
    // A file of several scans keeps the coefficients of the whole picture while it decodes,
    // whatever the output's size: this many bytes of them.
    uint64_t coefficientBytes = 0;
};

// Orientations 5 to 8 turn the picture a quarter: its upright width is the stored height.
inline bool SwapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }

// Reads the header only (`size` may be 0: the empty-input error). Throws Failure.
Header ReadHeader(const uint8_t* data, size_t size);

// Bytes of pixel memory for a picture of this size and depth with rows padded to 4 bytes.
uint64_t PixelBytes(uint64_t width, uint64_t height, int bitsPerPixel);
// Throws Failure(CodeTooBig()) when that exceeds the shared pixel limit.
void CheckPixelMemory(uint64_t width, uint64_t height, int bitsPerPixel);

// A side of the picture decoded at eighths/8 of its size (1 to 8), rounded up as the
// library rounds it.
int32_t ScaledSide(int32_t side, int eighths);
// The smallest eighths (1 to 8) at which a width x height picture still covers a
// wantedWidth x wantedHeight rectangle; 8 when none smaller does.
int CoveringEighths(int32_t width, int32_t height, int32_t wantedWidth, int32_t wantedHeight);
// The memory a decode at eighths/8 takes that grows with the picture: the output's pixels
// (8 bits a pixel when `eightBit`, else 24), the coefficients of a file of several scans, and
// the image the two-pass quantiser keeps of a colour picture it maps onto a palette.
uint64_t DecodeMemory(const Header& header, int eighths, bool eightBit);
// Throws Failure(CodeTooBig()) when that exceeds the shared pixel limit.
void CheckDecodeMemory(const Header& header, int eighths, bool eightBit);

struct ColourMap {
    int count = 0;
    const uint8_t* component[3] = {nullptr, nullptr, nullptr};  // blue, green, red rows
    bool grey = false;  // one row only (component[0]) for a grayscale picture
};

// What the decoder hands to the pixel store.
class DecodeTarget {
public:
    virtual ~DecodeTarget() = default;
    // The header is read and the settings made: `eightBit` says the output is palette
    // indexes, `grey` that the file has one component. Colours put in `givenBgr` (blue,
    // green, red; up to 256) are what the library maps a colour picture onto; left empty,
    // the library chooses.
    virtual void Prepared(bool eightBit, bool grey, std::vector<uint8_t>& givenBgr) = 0;
    // Decompression started: the size is known, and the colour map when quantising.
    virtual void Started(int32_t width, int32_t height, const ColourMap* map) = 0;
    // Where row `y` (0 at the top) goes: width x 3 bytes blue, green, red, or width indexes.
    virtual uint8_t* Row(int32_t y) = 0;
    // Rows 0 to `count` - 1 hold their pixels.
    virtual void RowsDone(int32_t /*count*/) {}
    // A throttled progress report. May throw, to stop the decode.
    virtual void Progress(uint8_t percent, bool redrawNow, int32_t left, int32_t top, int32_t right,
                          int32_t bottom) = 0;
    // Milliseconds from any fixed start; the reports are throttled by it.
    virtual uint32_t Ticks() = 0;
};

struct DecodeOptions {
    bool eightBit = false;  // quantise colour output to a palette
    bool progress = true;   // install the progress hook
    int eighths = 8;        // the output's size in eighths of the picture's (1 to 8)
};

// Decodes the file into `target` at the asked scale. Throws Failure for fatal library
// errors, and passes on what the target throws. A file whose data ends early gives the rows
// its data reaches and stops there: the target gets no rows below them.
void Decode(const uint8_t* data, size_t size, const DecodeOptions& options, DecodeTarget& target);

// Rows for the encoder: blue, green, red, width x 3 bytes.
class EncodeSource {
public:
    virtual ~EncodeSource() = default;
    virtual const uint8_t* Row(int32_t y) = 0;
    virtual void Progress(uint8_t percent) = 0;  // may throw to stop
    virtual uint32_t Ticks() = 0;
};

struct EncodeOptions {
    int quality = 90;
    bool progressive = false;
};

std::vector<uint8_t> Encode(int32_t width, int32_t height, const EncodeOptions& options, EncodeSource& source);

}  // namespace jpeg
