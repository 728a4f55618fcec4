// The program's JPEG decoder natively under AddressSanitizer and UBSan: every accepted form
// gives back the pattern it was made of, and every hostile file ends in the library's error or a
// partial picture, with each row written within its own bounds.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/jpeg/JpegSamples.h"
#include "native/CheckReport.h"
#include "native/CorpusFiles.h"

namespace {

const auto Check = check::Expect;

class RowStore : public jpeg::DecodeTarget {
public:
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;
    bool eightBit = false;
    void Prepared(bool eight, bool, std::vector<uint8_t>&) override { eightBit = eight; }
    void Started(int32_t width, int32_t height, const jpeg::ColourMap* map) override {
        // Each row a block of its own, exactly as long as the program's.
        rows.assign(size_t(height), std::vector<uint8_t>(size_t(width) * (eightBit ? 1 : 3)));
        for (int i = 0; map && i < map->count; ++i)
            for (int c = 0; c < 3; ++c) palette.push_back(map->component[map->grey ? 0 : c][i]);
    }
    uint8_t* Row(int32_t y) override { return rows[size_t(y)].data(); }
    void Progress(uint8_t, bool, int32_t, int32_t, int32_t, int32_t) override {}
    uint32_t Ticks() override { return clock += 300; }
    uint32_t clock = 0;
};

// 0 on success, else the library's code.
int DecodeInto(const jpegsamples::Bytes& file, bool eightBit, RowStore& store) {
    try {
        jpeg::DecodeOptions options;
        options.eightBit = eightBit;
        jpeg::Decode(file.data(), file.size(), options, store);
        return 0;
    } catch (const jpeg::Failure& f) {
        return f.code() ? f.code() : -1;
    }
}

bool IsFourComponent(const std::string& name) { return name.rfind("cmyk", 0) == 0 || name == "ycck"; }

}  // namespace

int main(int argc, char** argv) {
    int checks = 0, good = 0;
    for (const auto& f : jpegsamples::GoodFiles()) {
        for (bool eightBit : {false, true}) {
            RowStore store;
            const std::string what = f.name + (eightBit ? " at 8 bits" : " at 24 bits");
            ++checks;
            if (DecodeInto(f.bytes, eightBit, store) != 0 || store.rows.empty()) {
                Check(false, what + " decodes");
                continue;
            }
            // Four-component files come out as colour rows at either depth; grey ones on a palette.
            const bool grey = f.name.rfind("grey", 0) == 0;
            const bool indexed = !IsFourComponent(f.name) && (eightBit || grey);
            std::vector<uint8_t> bgr = store.palette;  // the colour map is in the rows' order
            bgr.resize(store.eightBit ? 256 * 3 : 0);
            ++checks;
            const std::string wrong = jpegsamples::CheckAgainstPattern(
                int(store.rows[0].size()) / (store.eightBit ? 1 : 3), int(store.rows.size()),
                [&](int y) { return static_cast<const uint8_t*>(store.rows[size_t(y)].data()); }, bgr, grey,
                indexed ? 12.0 : 6.0);
            Check(store.eightBit == indexed && wrong.empty(), what + " gives back its pattern: " + wrong);
            good += wrong.empty();
        }
    }

    struct Expected {
        const char* name;
        int code;
    };
    const Expected expected[] = {
        {"empty", jpeg::CodeInputEmpty()},
        {"text", jpeg::CodeNoImage()},
        {"endless-scans", jpeg::CodeTooManyScans()},
        {"baseline-size-65500x65500", jpeg::CodeTooBig()},
    };
    int hostile = 0, refused = 0, decoded = 0;
    double slowest = 0;
    std::string slowestName;
    for (const auto& f : jpegsamples::HostileFiles()) {
        ++hostile;
        for (bool eightBit : {false, true}) {
            RowStore store;
            auto start = std::chrono::steady_clock::now();
            int code = DecodeInto(f.bytes, eightBit, store);
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (seconds > slowest) slowest = seconds, slowestName = f.name;
            ++(code ? refused : decoded);
            // Each scan walks the blocks of its components, one library call a row of blocks,
            // however few bytes it takes: past what the file pays for, the rest is not read.
            if (f.name == "many-scans-2048x1536")
                Check(store.clock / 300 < 200 * 1536 / 16, f.name + " walked more than 200 scans: " +
                                                                 std::to_string(store.clock / 300) + " calls");
            for (const Expected& e : expected)
                if (f.name == e.name) {
                    ++checks;
                    Check(code == e.code, f.name + " ends in code " + std::to_string(e.code));
                }
        }
    }
    ++checks;
    Check(hostile >= 200, "at least 200 hostile files");
    // Files other programs wrote decode whole.
    const auto written = corpus::FilesOfFormat(argc, argv, {"jpg"});
    for (const corpus::NamedFile& f : written)
        for (bool eightBit : {false, true}) {
            RowStore store;
            ++checks;
            Check(DecodeInto(f.bytes, eightBit, store) == 0 && !store.rows.empty(), f.name + " decodes");
        }
    std::printf("jpeg: %zu files of other writers decoded\n", written.size());
    std::printf("jpeg native checks: %d good decodes gave back their pattern, %d hostile files (%d decodes refused, %d partial or whole), "
                "slowest %.2f s (%s)\n",
                good, hostile, refused, decoded, slowest, slowestName.c_str());
    std::printf("%d of %d checks passed\n", checks - check::failures, checks);
    return check::Finish("JPEG");
}
