#include "graphics/jpeg/JpegCodec.h"
#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>
#include "graphics/PixelLimits.h"
#include "graphics/jpeg/ExifOrientation.h"

namespace jpeg {

int CodeInputEmpty() { return JERR_INPUT_EMPTY; }
int CodeNoImage() { return JERR_NO_SOI; }
int CodeTooBig() { return JERR_IMAGE_TOO_BIG; }
int CodeOutOfMemory() { return JERR_OUT_OF_MEMORY; }
int CodeTooManyScans() { return JERR_BAD_PROGRESSION; }

uint64_t PixelBytes(uint64_t width, uint64_t height, int bitsPerPixel) {
    // Both sides are at most 65535 by the format, so nothing here overflows.
    uint64_t stride = (width * uint64_t(bitsPerPixel) + 31) / 32 * 4;
    return stride * height;
}

void CheckPixelMemory(uint64_t width, uint64_t height, int bitsPerPixel) {
    if (PixelBytes(width, height, bitsPerPixel) > kMaxPicturePixelBytes) throw Failure(CodeTooBig());
}

int32_t ScaledSide(int32_t side, int eighths) {
    return static_cast<int32_t>((int64_t(side) * eighths + 7) / 8);
}

int CoveringEighths(int32_t width, int32_t height, int32_t wantedWidth, int32_t wantedHeight) {
    for (int eighths = 1; eighths < 8; ++eighths)
        if (ScaledSide(width, eighths) >= wantedWidth && ScaledSide(height, eighths) >= wantedHeight) return eighths;
    return 8;
}

uint64_t DecodeMemory(const Header& header, int eighths, bool eightBit) {
    const uint64_t width = uint64_t(ScaledSide(header.width, eighths));
    const uint64_t height = uint64_t(ScaledSide(header.height, eighths));
    uint64_t bytes = PixelBytes(width, height, eightBit ? 8 : 24) + header.coefficientBytes;
    // The two-pass quantiser keeps the whole output (three samples a pixel, a strip more
    // at most) for its second pass.
    if (eightBit && header.components == 3) bytes += width * 3 * (height + 16);
    return bytes;
}

void CheckDecodeMemory(const Header& header, int eighths, bool eightBit) {
    if (DecodeMemory(header, eighths, eightBit) > kMaxPicturePixelBytes) throw Failure(CodeTooBig());
}

namespace {

constexpr size_t kSourceBuffer = 4096;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

// One library object with its managers. Lives in the frame that calls RunGuarded, so the
// jump back from error_exit never skips it.
struct Session {
    jpeg_error_mgr err;
    jpeg_progress_mgr progress;
    jpeg_source_mgr source;
    jpeg_destination_mgr destination;
    union {
        jpeg_decompress_struct d;
        jpeg_compress_struct c;
    };
    bool created = false;
    bool decompressing = true;
    std::jmp_buf jump;
    int failure = 0;
    std::exception_ptr pending;  // what a progress report threw, raised again after the jump

    // The byte source.
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    bool atStart = true;
    bool atEnd = false;  // the buffer holds the end-of-image marker made up past the file's end
    JOCTET buffer[kSourceBuffer];

    // The first Exif block's orientation.
    bool sawExif = false;
    int orientation = 1;

    // The byte destination.
    std::vector<uint8_t>* output = nullptr;
    int quality = 90;
    bool progressive = false;

    // Progress state.
    DecodeTarget* target = nullptr;
    EncodeSource* encodeSource = nullptr;
    uint8_t lastPercent = 0;
    uint32_t lastTime = 0;
    uint32_t lastRow = 0;

    // Blocks walked by the scans read so far, and how many the file pays for.
    int countedScan = 0;
    uint64_t scanBlocks = 0;

    // Scans whose data ended before their last block (cut short, or running into a marker
    // where data should be), and the most bands (iMCU rows) such a scan reached, counting
    // the one it ended in.
    int cutScans = 0;
    int lastCutScan = -1;
    JDIMENSION reach = 0;

    // Rows of one jpeg_read_scanlines or jpeg_write_scanlines call.
    JSAMPROW rows[16];
    JDIMENSION rowCount = 0;
    JDIMENSION rowsDone = 0;

    Session() {
        std::memset(&err, 0, sizeof err);
        std::memset(&progress, 0, sizeof progress);
        std::memset(&source, 0, sizeof source);
        std::memset(&destination, 0, sizeof destination);
        std::memset(&d, 0, sizeof(jpeg_decompress_struct) > sizeof(jpeg_compress_struct)
                               ? sizeof(jpeg_decompress_struct)
                               : sizeof(jpeg_compress_struct));
    }
    ~Session() {
        if (created) jpeg_destroy(Common());
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    j_common_ptr Common() { return decompressing ? reinterpret_cast<j_common_ptr>(&d) : reinterpret_cast<j_common_ptr>(&c); }
};

Session& SessionOf(j_common_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }

// ---- The error manager ----

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    Session& s = SessionOf(cinfo);
    s.failure = cinfo->err->msg_code;
    std::longjmp(s.jump, 1);
}
// Warnings (corrupt data, premature end) are neither shown nor counted: decoding goes on.
// Those saying a scan's data ended early are noted: the rows below where it ended have
// nothing of their own, and Decode makes none of them.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0 || !cinfo->is_decompressor) return;
    Session& s = SessionOf(cinfo);
    const int code = cinfo->err->msg_code;
    // A restart marker met early ends one damaged interval only, and in a file with
    // restart intervals the library skips a stray byte pair that is no real marker and
    // goes on at the next interval: the data goes on after those.
    const int marker = s.d.unread_marker;
    const bool restart = marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7;
    const bool skipped = s.d.restart_interval != 0 && marker < 0xC0;
    if (code != JWRN_JPEG_EOF && (code != JWRN_HIT_MARKER || restart || skipped)) return;
    if (s.lastCutScan != s.d.input_scan_number) {
        s.lastCutScan = s.d.input_scan_number;
        ++s.cutScans;
    }
    s.reach = std::max(s.reach, s.d.input_iMCU_row + 1);
}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetErrorManager(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

[[noreturn]] void Fail(j_common_ptr cinfo, int code) {
    cinfo->err->msg_code = code;
    ErrorExit(cinfo);
}

// Runs one library step with the library's jump point set. Nothing in this frame has a
// destructor, and `step` is one of the capture-free lambdas below, which only call the
// library. Returns false after a fatal error.
using Step = void (*)(Session&);
bool RunGuarded(Session& s, Step step) {
    if (setjmp(s.jump)) return false;
    step(s);
    return true;
}

void Guarded(Session& s, Step step) {
    if (RunGuarded(s, step)) return;
    if (s.pending) {
        std::exception_ptr pending = s.pending;
        s.pending = nullptr;
        std::rethrow_exception(pending);
    }
    throw Failure(s.failure);
}

// ---- The byte source over memory ----

void InitSource(j_decompress_ptr cinfo) { SessionOf(reinterpret_cast<j_common_ptr>(cinfo)).atStart = true; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    size_t n = s.size - s.position;
    if (n > kSourceBuffer) n = kSourceBuffer;
    if (n == 0) {
        if (s.atStart) Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_INPUT_EMPTY);
        // A file cut short ends as if its end-of-image marker had come: the library shows
        // what it has and stops asking.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        s.source.next_input_byte = kEndOfImage;
        s.source.bytes_in_buffer = 2;
        s.atEnd = true;
    } else {
        std::memcpy(s.buffer, s.data + s.position, n);
        s.position += n;
        s.source.next_input_byte = s.buffer;
        s.source.bytes_in_buffer = n;
        s.atEnd = false;
    }
    s.atStart = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    size_t n = static_cast<size_t>(count);
    if (n <= s.source.bytes_in_buffer) {
        s.source.next_input_byte += n;
        s.source.bytes_in_buffer -= n;
        return;
    }
    // Past the buffer: skip within the file directly; past the file's end the next fill
    // supplies the end-of-image marker.
    n -= s.source.bytes_in_buffer;
    s.source.bytes_in_buffer = 0;
    s.position = n < s.size - s.position ? s.position + n : s.size;
    s.atStart = false;
}

void TermSource(j_decompress_ptr) {}

// An APP1 marker while the header is read. The whole file is in memory: the first Exif block
// is read where it lies (cut at the file's end), and every APP1 marker is then skipped as the
// library skips any other. Nothing is copied or kept, however many markers a file has.
boolean ReadApp1(j_decompress_ptr cinfo) {
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    long length = 0;
    for (int i = 0; i < 2; ++i) {
        if (s.source.bytes_in_buffer == 0) FillInputBuffer(cinfo);
        length = length << 8 | *s.source.next_input_byte++;
        --s.source.bytes_in_buffer;
    }
    length -= 2;  // the length counts itself
    if (length > 0 && !s.sawExif && !s.atEnd) {
        const size_t at = s.position - s.source.bytes_in_buffer;
        const size_t count = std::min(size_t(length), s.size - at);
        if (count >= 6 && std::memcmp(s.data + at, "Exif\0\0", 6) == 0) {
            s.sawExif = true;
            s.orientation = ExifOrientation(s.data + at, count);
        }
    }
    SkipInputData(cinfo, length);
    return TRUE;
}

void InstallSource(Session& s, const uint8_t* data, size_t size) {
    s.data = data;
    s.size = size;
    s.position = 0;
    s.source.init_source = InitSource;
    s.source.fill_input_buffer = FillInputBuffer;
    s.source.skip_input_data = SkipInputData;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = TermSource;
    s.d.src = &s.source;
}

// ---- The progress hook ----

// Calls the program's report; what it throws is kept for Guarded to raise again.
bool Report(Session& s, uint8_t percent, bool redraw, int32_t top, int32_t right, int32_t bottom) noexcept {
    try {
        if (s.target) s.target->Progress(percent, redraw, 0, top, right, bottom);
        else if (s.encodeSource) s.encodeSource->Progress(percent);
        return true;
    } catch (...) {
        s.pending = std::current_exception();
        return false;
    }
}

uint32_t Ticks(Session& s) noexcept {
    try {
        return s.target ? s.target->Ticks() : s.encodeSource->Ticks();
    } catch (...) {
        return 0;
    }
}

// Called as each scan starts (and between rows): once the scans have walked more blocks than
// the file pays for, the rest of the file is left unread, as if it were cut short there.
void LimitScanWork(Session& s) {
    const jpeg_decompress_struct& d = s.d;
    if (d.input_scan_number == s.countedScan || d.comps_in_scan <= 0) return;
    s.countedScan = d.input_scan_number;
    uint64_t picture = 0;
    for (int i = 0; i < d.num_components; ++i)
        picture += uint64_t(d.comp_info[i].width_in_blocks) * d.comp_info[i].height_in_blocks;
    for (int i = 0; i < d.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        s.scanBlocks += uint64_t(d.cur_comp_info[i]->width_in_blocks) * d.cur_comp_info[i]->height_in_blocks;
    if (s.scanBlocks <= kFreeScanPasses * picture + kBlocksPerByte * uint64_t(s.size)) return;
    s.position = s.size;
    s.source.bytes_in_buffer = 0;
}

// A file of several scans whose first scan ended early (the file is cut short within it, or
// claims a picture far larger than its data) has nothing more to give below where it ended:
// the later scans are left unread rather than each walking the whole picture.
void StopAfterCutFirstScan(Session& s) {
    if (s.lastCutScan != 1 || s.d.input_scan_number != 1) return;
    s.position = s.size;
    s.source.bytes_in_buffer = 0;
    // The marker the scan ran into (the next scan's, as a rule) is taken as the end of the
    // image: what follows it is not read.
    if (s.d.unread_marker != 0) s.d.unread_marker = JPEG_EOI;
}

void ProgressHook(j_common_ptr cinfo) {
    Session& s = SessionOf(cinfo);
    if (s.decompressing && s.d.input_scan_number > kMaxScans) Fail(cinfo, JERR_BAD_PROGRESSION);
    if (s.decompressing) {
        LimitScanWork(s);
        StopAfterCutFirstScan(s);
    }
    if (!s.target && !s.encodeSource) return;
    uint32_t now = Ticks(s);
    if (now - s.lastTime < 500) return;
    uint32_t before = s.lastTime;
    s.lastTime = now;
    if (before == 0) return;  // the first call starts the clock

    const jpeg_progress_mgr& p = s.progress;
    if (p.pass_limit <= 0 || p.total_passes <= 0) return;
    double done = (double(p.pass_counter) / double(p.pass_limit) + p.completed_passes) * 100.0 / p.total_passes;
    if (!(done >= 0)) done = 0;
    if (done > 100) done = 100;
    uint8_t percent = static_cast<uint8_t>(done);
    if (percent == s.lastPercent) return;
    s.lastPercent = percent;

    bool ok;
    if (s.decompressing) {
        // The rows that arrived since the last report; a new pass starting over shows all.
        int32_t top = static_cast<int32_t>(s.lastRow);
        int32_t bottom = static_cast<int32_t>(s.d.output_scanline);
        if (bottom < top) bottom = static_cast<int32_t>(s.d.output_height);
        s.lastRow = s.d.output_scanline;
        ok = Report(s, percent, bottom - top >= 4, top, static_cast<int32_t>(s.d.output_width), bottom);
    } else {
        ok = Report(s, percent, false, 0, 0, 0);
    }
    if (!ok) std::longjmp(s.jump, 1);
}

void InstallErrorManager(Session& s) {
    jpeg_std_error(&s.err);
    s.err.error_exit = ErrorExit;
    s.err.emit_message = EmitMessage;
    s.err.output_message = OutputMessage;
    s.err.format_message = FormatMessage;
    s.err.reset_error_mgr = ResetErrorManager;
}

void CreateDecompress(Session& s) {
    InstallErrorManager(s);
    s.decompressing = true;
    s.d.err = &s.err;
    s.d.client_data = &s;
    s.created = true;
    Guarded(s, [](Session& s) {
        jpeg_create_decompress(&s.d);
        s.d.client_data = &s;  // the library keeps err and client_data, but make it plain
    });
}

}  // namespace

namespace {

// The header of a file whose header the library has read.
Header HeaderOf(Session& s) {
    Header h;
    h.width = static_cast<int32_t>(s.d.image_width);
    h.height = static_cast<int32_t>(s.d.image_height);
    h.components = s.d.num_components;
    h.orientation = s.orientation;
    Guarded(s, [](Session& s) { s.rowsDone = jpeg_has_multiple_scans(&s.d) ? 1 : 0; });
    h.progressive = s.rowsDone != 0;
    if (h.progressive) {
        // The library's whole-image coefficient arrays: each component's blocks, rounded up
        // to its sampling factors, 64 coefficients of two bytes each.
        for (int i = 0; i < s.d.num_components; ++i) {
            const jpeg_component_info& c = s.d.comp_info[i];
            const uint64_t across = (uint64_t(c.width_in_blocks) + c.h_samp_factor - 1) / c.h_samp_factor * c.h_samp_factor;
            const uint64_t down = (uint64_t(c.height_in_blocks) + c.v_samp_factor - 1) / c.v_samp_factor * c.v_samp_factor;
            h.coefficientBytes += across * down * DCTSIZE2 * sizeof(JCOEF);
        }
    }
    return h;
}

}  // namespace

Header ReadHeader(const uint8_t* data, size_t size) {
    Session s;
    CreateDecompress(s);
    InstallSource(s, data, size);
    Guarded(s, [](Session& s) {
        jpeg_set_marker_processor(&s.d, JPEG_APP0 + 1, ReadApp1);
        jpeg_read_header(&s.d, TRUE);
    });
    return HeaderOf(s);
}

namespace {

// Four-component output (CMYK, or YCCK that the library turns into CMYK) as blue, green, red.
// Files with an Adobe marker store the inks inverted, as the common print tools write them.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = static_cast<uint8_t>((y * k + 127) / 255);
        bgr[1] = static_cast<uint8_t>((m * k + 127) / 255);
        bgr[2] = static_cast<uint8_t>((c * k + 127) / 255);
    }
}

}  // namespace

namespace {

// Where the frame header's height is in the file (0: not found where the markers say).
size_t FrameHeightAt(const uint8_t* data, size_t size) {
    for (size_t i = 2; i + 7 <= size;) {
        if (data[i] != 0xFF) return 0;
        const uint8_t marker = data[i + 1];
        if (marker == 0xFF) {
            ++i;  // a fill byte
        } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return i + 5;  // FF Cn, length, precision, then the height
        } else if (marker == JPEG_EOI || marker == 0xDA) {
            return 0;
        } else {
            i += 2 + (size_t(data[i + 2]) << 8 | data[i + 3]);
        }
    }
    return 0;
}

// Some of the library's work covers the whole picture whatever the data holds: a file of
// several scans keeps (and clears) the coefficients of all of it from the first scan on, and
// the two-pass quantiser reads every row once before the rows are given out. Each block of
// the first scan takes at least a bit of its data (a Huffman code is one bit long or more),
// so a file whose remaining bytes cannot reach below some band of blocks claims more picture
// than it holds: it is decoded from a copy whose frame claims only the bands its bytes could
// reach (and one more), and the rows below stay as the target has them. Arithmetic coding
// can spend less than a bit on a block: such files are decoded as they are.
std::vector<uint8_t> BoundedToItsData(Session& s, const uint8_t* data, size_t size) {
    const jpeg_decompress_struct& d = s.d;
    if (d.arith_code || d.comps_in_scan <= 0 || d.max_v_samp_factor <= 0) return {};
    uint64_t blocksPerBand = 0;
    for (int i = 0; i < d.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        blocksPerBand += uint64_t(d.cur_comp_info[i]->width_in_blocks) * d.cur_comp_info[i]->v_samp_factor;
    const uint64_t bits = uint64_t(size - (s.position - s.source.bytes_in_buffer)) * 8;
    const uint64_t bands = bits / std::max<uint64_t>(blocksPerBand, 1) + 2;
    if (blocksPerBand == 0 || bands >= d.total_iMCU_rows) return {};
    const uint64_t height = bands * uint64_t(d.max_v_samp_factor) * DCTSIZE;
    const size_t at = FrameHeightAt(data, size);
    if (at == 0 || (size_t(data[at]) << 8 | data[at + 1]) != d.image_height || height >= d.image_height) return {};
    std::vector<uint8_t> copy(data, data + size);
    copy[at] = static_cast<uint8_t>(height >> 8);
    copy[at + 1] = static_cast<uint8_t>(height);
    return copy;
}

// Decodes a file whose picture is `claimedHeight` rows tall (0: as its frame says).
void DecodeFile(const uint8_t* data, size_t size, const DecodeOptions& options, DecodeTarget& target,
                uint32_t claimedHeight) {
    Session s;
    CreateDecompress(s);
    if (options.progress) {
        s.target = &target;
        s.progress.progress_monitor = ProgressHook;
        s.d.progress = &s.progress;
    }
    s.d.mem->max_memory_to_use = static_cast<long>(std::min<uint64_t>(kMaxLibraryMemory, LONG_MAX));
    InstallSource(s, data, size);
    Guarded(s, [](Session& s) { jpeg_read_header(&s.d, TRUE); });

    const int eighths = std::clamp(options.eighths, 1, 8);
    s.d.scale_num = static_cast<unsigned>(eighths);
    s.d.scale_denom = 8;
    s.d.do_block_smoothing = TRUE;
    s.d.dct_method = JDCT_FLOAT;
    const bool grey = s.d.out_color_space == JCS_GRAYSCALE;
    const bool cmyk = s.d.out_color_space == JCS_CMYK;
    if (s.d.out_color_space == JCS_RGB) {
        // Rows arrive in the bitmap's own order: no pass over the pixels afterwards.
        s.d.out_color_space = JCS_EXT_BGR;
    } else if (!grey && !cmyk) {
        throw Failure(JERR_CONVERSION_NOTIMPL);  // two, or five and more, components
    }
    // The library cannot quantise four-component output: such files decode at 24 bits.
    const bool eightBit = grey || (options.eightBit && !cmyk);
    if (eightBit) {
        s.d.quantize_colors = TRUE;
        s.d.desired_number_of_colors = kQuantisedColours;
    }
    // The output and the library's whole-image buffers together stay within the limit.
    Header header = HeaderOf(s);
    if (claimedHeight == 0) claimedHeight = s.d.image_height;
    // The target holds the claimed picture, the library the part the data can fill.
    header.height = static_cast<int32_t>(claimedHeight);
    CheckDecodeMemory(header, eighths, eightBit);

    std::vector<uint8_t> given;
    target.Prepared(eightBit, grey, given);
    const int givenCount = static_cast<int>(given.size() / 3);
    if (eightBit && !grey && givenCount > 0 && givenCount <= 256) {
        s.rowCount = static_cast<JDIMENSION>(givenCount);
        Guarded(s, [](Session& s) {
            s.d.colormap = (*s.d.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s.d), JPOOL_IMAGE, s.rowCount, 3);
        });
        for (int i = 0; i < givenCount; ++i) {
            s.d.colormap[0][i] = given[size_t(i) * 3 + 0];
            s.d.colormap[1][i] = given[size_t(i) * 3 + 1];
            s.d.colormap[2][i] = given[size_t(i) * 3 + 2];
        }
        s.d.actual_number_of_colors = givenCount;
        s.rowCount = 0;
    }

    Guarded(s, [](Session& s) { jpeg_start_decompress(&s.d); });
    // What a row receives must be what the pixel store holds, whatever the file says.
    const int expected = eightBit ? 1 : (cmyk ? 4 : 3);
    if (s.d.output_components != expected ||
        s.d.output_width != JDIMENSION(ScaledSide(int32_t(s.d.image_width), eighths)) ||
        s.d.output_height != JDIMENSION(ScaledSide(int32_t(s.d.image_height), eighths)))
        throw Failure(JERR_CONVERSION_NOTIMPL);

    ColourMap map;
    if (s.d.quantize_colors && s.d.colormap) {
        map.count = s.d.actual_number_of_colors;
        map.grey = grey;
        for (int i = 0; i < (grey ? 1 : 3); ++i) map.component[i] = s.d.colormap[i];
    }
    target.Started(static_cast<int32_t>(s.d.output_width), ScaledSide(int32_t(claimedHeight), eighths),
                   map.count > 0 ? &map : nullptr);

    std::vector<uint8_t> cmykRows;
    const JDIMENSION width = s.d.output_width;
    if (cmyk) cmykRows.resize(size_t(width) * 4);
    const bool inverted = s.d.saw_Adobe_marker;
#if JPEG_LIB_VERSION >= 70
    const JDIMENSION bandRows = JDIMENSION(s.d.max_v_samp_factor * s.d.min_DCT_v_scaled_size);
#else
    const JDIMENSION bandRows = JDIMENSION(s.d.max_v_samp_factor * s.d.min_DCT_scaled_size);
#endif
    while (s.d.output_scanline < s.d.output_height) {
        const JDIMENSION y = s.d.output_scanline;
        // Rows below the bands the data reached have nothing of their own when every scan
        // read ended early (a file of one scan always reads it alongside). Making them would
        // cost as much as a whole picture, for a 500-byte file claiming 16000 x 16000; they
        // stay as the target has them (white).
        const bool everyScanCut = s.cutScans > 0 && (!header.progressive || s.cutScans >= s.d.input_scan_number);
        if (everyScanCut && uint64_t(y) >= uint64_t(s.reach) * bandRows) return;
        uint8_t* row = target.Row(static_cast<int32_t>(y));
        s.rows[0] = cmyk ? cmykRows.data() : row;
        s.rowCount = 1;
        Guarded(s, [](Session& s) { s.rowsDone = jpeg_read_scanlines(&s.d, s.rows, s.rowCount); });
        if (s.rowsDone == 0) break;  // the library had no row to give: the file ended
        if (cmyk) CmykRowToBgr(cmykRows.data(), row, width, inverted);
        target.RowsDone(static_cast<int32_t>(y) + 1);
    }
    Guarded(s, [](Session& s) { jpeg_finish_decompress(&s.d); });
}

}  // namespace

void Decode(const uint8_t* data, size_t size, const DecodeOptions& options, DecodeTarget& target) {
    std::vector<uint8_t> bounded;
    uint32_t claimedHeight = 0;
    {
        Session s;
        CreateDecompress(s);
        InstallSource(s, data, size);
        Guarded(s, [](Session& s) { jpeg_read_header(&s.d, TRUE); });
        bounded = BoundedToItsData(s, data, size);
        claimedHeight = s.d.image_height;
    }
    if (bounded.empty()) return DecodeFile(data, size, options, target, 0);
    DecodeFile(bounded.data(), bounded.size(), options, target, claimedHeight);
}

namespace {

void InitDestination(j_compress_ptr cinfo) {
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    s.destination.next_output_byte = s.buffer;
    s.destination.free_in_buffer = kSourceBuffer;
}

bool Append(Session& s, size_t count) noexcept {
    try {
        s.output->insert(s.output->end(), s.buffer, s.buffer + count);
        return true;
    } catch (...) {
        return false;
    }
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (!Append(s, kSourceBuffer)) Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    Session& s = SessionOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (!Append(s, kSourceBuffer - s.destination.free_in_buffer))
        Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
}

}  // namespace

std::vector<uint8_t> Encode(int32_t width, int32_t height, const EncodeOptions& options, EncodeSource& source) {
    std::vector<uint8_t> bytes;
    Session s;
    InstallErrorManager(s);
    s.decompressing = false;
    s.c.err = &s.err;
    s.c.client_data = &s;
    s.created = true;
    Guarded(s, [](Session& s) {
        jpeg_create_compress(&s.c);
        s.c.client_data = &s;
    });
    s.encodeSource = &source;
    s.progress.progress_monitor = ProgressHook;
    s.c.progress = &s.progress;
    s.output = &bytes;
    s.destination.init_destination = InitDestination;
    s.destination.empty_output_buffer = EmptyOutputBuffer;
    s.destination.term_destination = TermDestination;
    s.c.dest = &s.destination;
    if (width <= 0 || height <= 0) return bytes;

    s.c.image_width = static_cast<JDIMENSION>(width);
    s.c.image_height = static_cast<JDIMENSION>(height);
    s.c.input_components = 3;
    s.c.in_color_space = JCS_EXT_BGR;
    s.quality = options.quality;
    s.progressive = options.progressive;
    Guarded(s, [](Session& s) {
        jpeg_set_defaults(&s.c);
        s.c.dct_method = JDCT_FLOAT;
        jpeg_set_quality(&s.c, s.quality, TRUE);
        if (s.progressive) jpeg_simple_progression(&s.c);
        jpeg_start_compress(&s.c, TRUE);
    });
    while (s.c.next_scanline < s.c.image_height) {
        s.rows[0] = const_cast<JSAMPROW>(source.Row(static_cast<int32_t>(s.c.next_scanline)));
        Guarded(s, [](Session& s) { jpeg_write_scanlines(&s.c, s.rows, 1); });
    }
    Guarded(s, [](Session& s) { jpeg_finish_compress(&s.c); });
    return bytes;
}

}  // namespace jpeg
