// The program's JPEG decoder natively under AddressSanitizer and UBSan: every accepted form
// gives back the pattern it was made of, and every hostile file ends in the library's error or a
// partial picture, with each row written within its own bounds.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include "graphics/jpeg/ExifOrientation.h"
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/jpeg/JpegSamples.h"
#include "graphics/jpeg/RowStore.h"
#include "graphics/PixelLimits.h"
#include <algorithm>
#include <jpeglib.h>
#include <jerror.h>
#include "native/CheckReport.h"

namespace {

const auto Check = check::Expect;

// 0 on success, else the library's code.
int DecodeInto(const uint8_t* data, size_t size, bool eightBit, RowStore& store, int eighths = 8) {
    try {
        jpeg::DecodeOptions options;
        options.eightBit = eightBit;
        options.eighths = eighths;
        jpeg::Decode(data, size, options, store);
        return 0;
    } catch (const jpeg::Failure& f) {
        return f.code() ? f.code() : -1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    int good = 0;
    for (const auto& f : jpegsamples::GoodFiles()) {
        for (bool eightBit : {false, true}) {
            RowStore store;
            const std::string what = f.name + (eightBit ? " at 8 bits" : " at 24 bits");
            if (DecodeInto(f.bytes.data(), f.bytes.size(), eightBit, store) != 0 || store.rows.empty()) {
                Check(false, what + " decodes");
                continue;
            }
            // Four-component files come out as colour rows at either depth; grey ones on a palette.
            const bool grey = f.name.rfind("grey", 0) == 0;
            const bool indexed = !jpegsamples::IsFourComponent(f.name) && (eightBit || grey);
            std::vector<uint8_t> bgr = store.palette;  // the colour map is in the rows' order
            bgr.resize(store.eightBit ? 256 * 3 : 0);
            const std::string wrong = jpegsamples::CheckAgainstPattern(
                int(store.rows[0].size()) / (store.eightBit ? 1 : 3), int(store.rows.size()),
                [&](int y) { return static_cast<const uint8_t*>(store.rows[size_t(y)].data()); }, bgr, grey,
                indexed ? 12.0 : 6.0);
            Check(store.eightBit == indexed && wrong.empty(), what + " gives back its pattern: " + wrong);
            good += wrong.empty();
        }
    }

    // Hostile files end in the library's error or a partial picture, at either depth.
    const std::vector<jpegsamples::Named> hostile = jpegsamples::HostileFiles();
    Check(hostile.size() >= 200, "at least 200 hostile files");
    auto expected = [](const jpegsamples::Named& f) -> std::string {
        const std::pair<const char*, int> codes[] = {{"empty", JERR_INPUT_EMPTY},
                                                     {"text", JERR_NO_SOI},
                                                     {"endless-scans", JERR_BAD_PROGRESSION},
                                                     {"baseline-size-65500x65500", JERR_IMAGE_TOO_BIG}};
        for (const auto& [name, code] : codes)
            if (f.name == name) return "code " + std::to_string(code);
        return "";
    };
    for (bool eightBit : {false, true}) {
        auto read = [eightBit](const uint8_t* data, size_t size) -> std::string {
            RowStore store;
            const int code = DecodeInto(data, size, eightBit, store);
            return code ? "code " + std::to_string(code) : store.rows.empty() ? "no rows" : "picture";
        };
        const std::string depth = eightBit ? " at 8 bits" : " at 24 bits";
        check::ReadAll("hostile files" + depth, hostile, read, expected);
        // Files other programs wrote decode whole.
        check::ReadAll("files of other writers" + depth, check::FilesOfFormat(argc, argv, {"jpg"}), read,
                       [](const check::NamedFile&) { return "picture"; });
    }
    // Each scan walks the blocks of its components, one library call a row of blocks, however
    // few bytes it takes: past what the file pays for, the rest is not read.
    int manyScans = 0;
    for (const jpegsamples::Named& f : hostile)
        for (bool eightBit : {false, true})
            if (f.name == "many-scans-2048x1536") {
                RowStore store;
                DecodeInto(f.bytes.data(), f.bytes.size(), eightBit, store);
                Check(store.clock / 300 < 200 * 1536 / 16,
                      f.name + " walked more than 200 scans: " + std::to_string(store.clock / 300) + " calls");
                ++manyScans;
            }
    Check(manyScans == 2, "the file of many scans is in the corpus");
    // Each Exif shape's orientation, from a block of its exact size and behind another APP1 block.
    const auto plain = jpegsamples::Make({"exif", 16, 16});
    for (const jpegsamples::ExifShape& e : jpegsamples::ExifShapes()) {
        const check::ExactCopy copy(e.payload);
        const auto file = jpegsamples::WithApp1(jpegsamples::WithApp1(plain, e.payload), {'x'});
        Check(jpeg::ExifOrientation(copy.data.get(), copy.size) == e.orientation &&
                  jpeg::ReadHeader(file.data(), file.size()).orientation == e.orientation, e.name);
    }
    // The memory a decode claims counts the coefficients a file of several scans keeps: the
    // largest 4:3 photos in 4:2:0 that fit (a 200-megapixel one does).
    const jpegsamples::Bytes baseline = jpegsamples::Make({"b", 32, 24}),
                             progressive = jpegsamples::Make({"p", 32, 24, jpegsamples::Colour::Rgb, 2, 2, true});
    auto fits = [](const jpegsamples::Bytes& file, int width, int eighths) {
        const jpegsamples::Bytes big = jpegsamples::WithSize(file, width, width * 3 / 4);
        return jpeg::DecodeMemory(jpeg::ReadHeader(big.data(), big.size()), eighths, false) <= kMaxPicturePixelBytes;
    };
    Check(fits(baseline, 16330, 8) && fits(progressive, 16330, 1), "a 200 MP 4:2:0 photo fits the limit");
    for (const auto& [file, eighths] : {std::pair{&baseline, 8}, {&progressive, 1}, {&progressive, 8}}) {
        int low = 8, high = 65535;
        for (int mid = (low + high + 1) / 2; low < high; mid = (low + high + 1) / 2) fits(*file, mid, eighths) ? low = mid : high = mid - 1;
        std::printf("largest 4:3 4:2:0 photo within the pixel limit, %s at %d/8: %d x %d\n",
                    file == &baseline ? "one scan" : "several scans", eighths, low, low * 3 / 4);
    }

    // Every file at the largest and the smallest scale: data that ends early makes the rows
    // it reaches and none below (at most these many of the whole picture's), and the worst
    // time per input megabyte.
    const std::pair<std::string, int> reach[] = {{"baseline-claims-16000x16000", 16}, {"progressive-claims-16384x16384", 16}};
    std::vector<jpegsamples::Named> all = hostile;
    for (auto& f : jpegsamples::GoodFiles()) all.push_back(f);
    for (auto& f : check::FilesOfFormat(argc, argv, {"jpg"})) all.push_back({f.name, f.bytes});
    double worst = 0;
    std::string worstFile;
    for (const jpegsamples::Named& f : all)
        for (const auto& [eighths, eightBit] : {std::pair{8, false}, {8, true}, {1, false}, {1, true}}) {
            RowStore store;
            const auto start = std::chrono::steady_clock::now();
            const int code = DecodeInto(f.bytes.data(), f.bytes.size(), eightBit, store, eighths);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const std::string what = f.name + " at " + std::to_string(eighths) + "/8" + (eightBit ? " (8 bits)" : "");
            if (seconds * 1e6 / double(std::max<size_t>(f.bytes.size(), 1)) > worst)
                worst = seconds * 1e6 / double(std::max<size_t>(f.bytes.size(), 1)), worstFile = what;
            for (const auto& [name, rows] : reach)
                if (name == f.name) {
                    std::printf("%s (%zu bytes): %d rows made, %.3f s\n", what.c_str(), f.bytes.size(), store.rowsAsked, seconds);
                    Check((code == 0 || eighths == 8) && (code != 0 || (store.rowsAsked > 0 && store.rowsAsked <= (rows * eighths + 7) / 8)),
                          what + " made " + std::to_string(store.rowsAsked) + " rows (code " + std::to_string(code) + ")");
                }
        }
    std::printf("jpeg decode time, worst per input megabyte: %.3f s (%s)\n", worst, worstFile.c_str());
    std::printf("jpeg native checks: %d good decodes gave back their pattern\n", good);
    return check::Finish("JPEG");
}
