// The program's JPEG decoder natively under AddressSanitizer and UBSan: every accepted form
// gives back the pattern it was made of, and every hostile file ends in the library's error or a
// partial picture, with each row written within its own bounds.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
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
                                                     {"baseline-size-65500x65500", JERR_IMAGE_TOO_BIG},
                                                     // its coefficients and pixels together
                                                     {"progressive-claims-16384x16384", JERR_IMAGE_TOO_BIG}};
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
    // Data that ends early: the rows it reaches are made, and none below, at any scale.
    struct Cut {
        const char* file;
        int eighths, rows, maxRows;
    };
    const Cut cuts[] = {{"baseline-claims-16000x16000", 8, 16000, 16},
                        {"baseline-claims-16000x16000", 1, 2000, 2},
                        {"progressive-claims-16384x16384", 1, 2048, 2},
                        {"tall-cut-in-half", 8, 512, 400}};
    std::vector<jpegsamples::Named> cutFiles = hostile;
    const jpegsamples::Bytes tall = jpegsamples::Make({"t", 64, 512, jpegsamples::Colour::Rgb, 2, 2, false, 0, true, 95});
    cutFiles.push_back({"tall-cut-in-half", jpegsamples::Bytes(tall.begin(), tall.begin() + long(tall.size() / 2))});
    for (const Cut& c : cuts)
        for (const jpegsamples::Named& f : cutFiles)
            if (f.name == c.file) {
                RowStore store;
                const auto start = std::chrono::steady_clock::now();
                const int code = DecodeInto(f.bytes.data(), f.bytes.size(), false, store, c.eighths);
                std::printf("%s (%zu bytes) at %d/8: %d rows made in %.3f s\n", f.name.c_str(), f.bytes.size(), c.eighths,
                            store.rowsAsked, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
                Check(code == 0 && int(store.rows.size()) == c.rows && store.rowsAsked <= c.maxRows && store.rowsAsked > 0,
                      f.name + " at " + std::to_string(c.eighths) + "/8 made " + std::to_string(store.rowsAsked) +
                          " of " + std::to_string(store.rows.size()) + " rows (code " + std::to_string(code) + ")");
            }

    // The memory a decode claims counts the coefficients a file of several scans keeps: the
    // largest 4:3 photos in 4:2:0 that fit, and a 200-megapixel one does.
    const jpegsamples::Bytes baseline = jpegsamples::Make({"b", 32, 24}),
                             progressive = jpegsamples::Make({"p", 32, 24, jpegsamples::Colour::Rgb, 2, 2, true});
    auto fits = [](const jpegsamples::Bytes& file, int width, int eighths) {
        const jpegsamples::Bytes big = jpegsamples::WithSize(file, width, width * 3 / 4);
        return jpeg::DecodeMemory(jpeg::ReadHeader(big.data(), big.size()), eighths, false) <= kMaxPicturePixelBytes;
    };
    auto largest = [&](const jpegsamples::Bytes& file, int eighths) {
        int low = 8, high = 65535;
        while (low < high) {
            const int mid = (low + high + 1) / 2;
            if (fits(file, mid, eighths)) low = mid;
            else high = mid - 1;
        }
        return std::to_string(low) + " x " + std::to_string(low * 3 / 4) + " (" +
               std::to_string(int64_t(low) * (low * 3 / 4) / 1000000) + " MP)";
    };
    Check(fits(baseline, 16330, 8) && fits(progressive, 16330, 1), "a 200 MP 4:2:0 photo fits the limit");
    std::printf("largest 4:3 4:2:0 photo within the pixel limit: one scan, whole %s; several scans, drawn at 1/8 %s, "
                "whole %s\n", largest(baseline, 8).c_str(), largest(progressive, 1).c_str(),
                largest(progressive, 8).c_str());

    // Decoding time per input megabyte, worst over every file the checks read, at the
    // largest and the smallest scale.
    double worstPerMegabyte = 0, worstSeconds = 0;
    std::string worstFile, slowestFile;
    std::vector<jpegsamples::Named> all = hostile;
    for (auto& f : jpegsamples::GoodFiles()) all.push_back(f);
    for (auto& f : check::FilesOfFormat(argc, argv, {"jpg"})) all.push_back({f.name, f.bytes});
    for (const jpegsamples::Named& f : all)
        for (int eighths : {8, 1}) {
            RowStore store;
            const auto start = std::chrono::steady_clock::now();
            DecodeInto(f.bytes.data(), f.bytes.size(), false, store, eighths);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double perMegabyte = seconds / (double(std::max<size_t>(f.bytes.size(), 1)) / 1e6);
            const std::string what = f.name + " at " + std::to_string(eighths) + "/8";
            if (perMegabyte > worstPerMegabyte) worstPerMegabyte = perMegabyte, worstFile = what;
            if (seconds > worstSeconds) worstSeconds = seconds, slowestFile = what;
        }
    std::printf("jpeg decode time, worst per input megabyte: %.3f s (%s); slowest file: %.3f s (%s)\n",
                worstPerMegabyte, worstFile.c_str(), worstSeconds, slowestFile.c_str());
    std::printf("jpeg native checks: %d good decodes gave back their pattern\n", good);
    return check::Finish("JPEG");
}
