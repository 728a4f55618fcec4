// Runs the BMP reading core natively (under AddressSanitizer and UBSan in this build) over
// every accepted form, comparing the decoded colours with the reference picture, and over
// the damaged-file corpus, checking each ends as expected. Exit status 0 only when all pass.
#include <cstdio>
#include <string>
#include "graphics/bitmap/BmpDecoder.h"
#include "graphics/bitmap/BmpSamples.h"
#include "native/CheckReport.h"

namespace {

using check::Fail;
using samples::Rgb;

uint8_t Channel(uint32_t value, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    uint32_t max = mask >> shift;
    return uint8_t(((value & mask) >> shift) * 255 / max);
}

// The decoded picture as colours, row 0 at the top.
samples::Picture ToPicture(const bmp::DecodedBitmap& d) {
    const bmp::DibLayout& l = d.layout;
    const bmp::InfoHeader& info = l.header.info;
    samples::Picture p{int(l.width), int(l.height), {}};
    for (uint32_t y = 0; y < l.height; ++y) {
        const uint8_t* row = d.pixels.data() + size_t(l.topDown ? y : l.height - 1 - y) * l.stride;
        for (uint32_t x = 0; x < l.width; ++x) {
            Rgb c{0, 0, 0};
            uint32_t bits = info.biBitCount;
            if (bits <= 8) {
                uint32_t index = bits == 8 ? row[x] : bits == 4 ? (row[x / 2] >> (x & 1 ? 0 : 4)) & 15
                                                                : (row[x / 8] >> (7 - x % 8)) & 1;
                if (index < l.colourCount)
                    c = {l.colours[index * 4 + 2], l.colours[index * 4 + 1], l.colours[index * 4]};
            } else if (bits == 16 || bits == 32) {
                uint32_t v = bits == 16 ? uint32_t(row[2 * x] | (row[2 * x + 1] << 8))
                                        : uint32_t(row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                                                   (uint32_t(row[4 * x + 3]) << 24));
                bool fields = info.biCompression == bmp::kBiBitfields;
                uint32_t rm = fields ? l.masks[0] : bits == 16 ? 0x7C00 : 0xFF0000;
                uint32_t gm = fields ? l.masks[1] : bits == 16 ? 0x03E0 : 0x00FF00;
                uint32_t bm = fields ? l.masks[2] : bits == 16 ? 0x001F : 0x0000FF;
                c = {Channel(v, rm), Channel(v, gm), Channel(v, bm)};
            } else {
                c = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            }
            p.pixels.push_back(c);
        }
    }
    return p;
}

void CheckAcceptedForms() {
    const std::vector<samples::Form> forms = samples::AcceptedForms();
    for (const auto& form : forms) {
        samples::Picture want = samples::ReferencePicture(form.bitCount);
        samples::Bytes file = samples::WriteBmp(want, form);
        try {
            bmp::DecodedBitmap d = bmp::DecodeBmpFile(file.data(), file.size());
            samples::Picture got = ToPicture(d);
            if (got.width != want.width || got.height != want.height || got.pixels != want.pixels)
                Fail(form.Name() + ": decoded colours differ from the reference");
            bool rle = form.compression == bmp::kBiRle8 || form.compression == bmp::kBiRle4;
            if (rle != (d.savedBytes == file)) Fail(form.Name() + ": kept file bytes wrong");
        } catch (const bmp::DecodeError& e) {
            Fail(form.Name() + ": refused: " + e.what());
        }
    }
    std::printf("%zu accepted forms decoded\n", forms.size());
}

// How a file ends: the decoded picture's pixel store must be the size its layout says.
std::string Read(const uint8_t* data, size_t size) {
    try {
        bmp::DecodedBitmap d = bmp::DecodeBmpFile(data, size);
        if (!d.empty && d.pixels.size() != d.layout.pixelStoreBytes) return "wrong pixel store size";
        return d.empty ? "empty picture" : "picture";
    } catch (const bmp::DecodeError& e) {
        return e.failure() == bmp::Failure::ReadError ? "read error" : "refused";
    }
}

}  // namespace

int main(int argc, char** argv) {
    CheckAcceptedForms();
    check::ReadAll("damaged files", samples::MalformedCorpus(), Read, [](const samples::BadFile& f) { return check::EndingFor(f.expected); });
    // Files other programs wrote are read whole.
    check::ReadAll("files of other writers", check::FilesOfFormat(argc, argv, {"bmp"}), Read,
                   [](const check::NamedFile&) { return "picture"; });
    return check::Finish("BMP");
}
