// Runs the icon directory reader natively (under AddressSanitizer and UBSan in this build):
// the hostile corpus must end as expected with every accepted entry's bytes inside the
// file, and the entry choice must hold on screens of few colours, which the virtual display
// cannot show. (Built files' pixels are compared through the platform by the unit tests.)
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include "graphics/icon/IconDirectory.h"
#include "graphics/icon/IconSamples.h"
#include "native/CheckReport.h"
#include "native/CorpusFiles.h"

namespace {

using icosamples::Bytes;

using check::ExactCopy;
using check::Expect;
using check::Fail;

void CheckCorpus() {
    using icosamples::Outcome;
    auto corpus = icosamples::HostileCorpus();
    int counts[3] = {0, 0, 0};
    for (const auto& bad : corpus) {
        ExactCopy file(bad.bytes);
        Outcome got;
        try {
            ico::IconFile icon = ico::ReadIconFile(file.data.get(), file.size);
            got = Outcome::Picture;
            volatile uint8_t sink = 0;
            for (const ico::DirectoryEntry& entry : icon.entries) {
                if (entry.png) {
                    for (size_t i = 0; i < entry.bytesInRes; ++i) sink = sink ^ file.data[entry.imageOffset + i];
                    continue;
                }
                ico::BitmapParts parts = ico::LayOutBitmap(file.data.get(), file.size, entry);
                const uint8_t *colour = parts.ColourPixels(file.data.get()), *mask = parts.MaskPixels(file.data.get());
                for (size_t i = 0; i < parts.colourBytes; ++i) sink = sink ^ colour[i];
                for (size_t i = 0; i < parts.maskBytes; ++i) sink = sink ^ mask[i];
            }
            for (int32_t wanted : {16, 32, 48, 256})
                for (uint16_t bits : {1, 4, 8, 32})
                    if (ico::ChooseEntry(icon.entries, wanted, wanted, ico::ColourLimit(bits)) >=
                        std::max<size_t>(icon.entries.size(), 1))
                        Fail(bad.name + ": chosen entry out of range");
        } catch (const ico::IconError& e) {
            got = e.failure() == ico::Failure::ReadError ? Outcome::ReadError : Outcome::InvalidImage;
        }
        counts[got == Outcome::Picture ? 0 : got == Outcome::ReadError ? 1 : 2]++;
        if (bad.expected != Outcome::EitherWay && got != bad.expected)
            Fail(bad.name + ": ended as " + std::to_string(int(got)) + ", expected " + std::to_string(int(bad.expected)));
    }
    std::printf("%zu hostile icon files: %d accepted, %d read errors, %d refused\n", corpus.size(), counts[0], counts[1],
                counts[2]);
}

// The choice on screens the test display cannot be switched to.
void CheckChoiceOnFewColours() {
    auto entry = [](int size, uint32_t colours) {
        ico::DirectoryEntry e;
        e.width = e.height = size;
        e.colourCount = colours;
        return e;
    };
    struct Case {
        const char* name;
        std::vector<ico::DirectoryEntry> entries;
        uint16_t screenBits;
        size_t expected;
    };
    const uint32_t many = ico::kManyColours;
    const Case cases[] = {
        {"true colour never replaces entry 0 on 256 colours", {entry(16, 16), entry(32, many)}, 8, 0},
        {"entry 0 in true colour stays on 256 colours", {entry(32, many), entry(32, 256)}, 8, 0},
        {"256 colours chosen on a 256-colour screen", {entry(32, 16), entry(32, 256), entry(32, many)}, 8, 1},
        {"16 colours on a 16-colour screen", {entry(32, 2), entry(32, 16), entry(32, 256)}, 4, 1},
        {"true colour on a deep screen", {entry(32, 16), entry(32, 256), entry(32, many)}, 24, 2},
        {"monochrome screen keeps two colours", {entry(32, 2), entry(32, 16)}, 1, 0},
    };
    for (const Case& c : cases)
        if (ico::ChooseEntry(c.entries, 32, 32, ico::ColourLimit(c.screenBits)) != c.expected) Fail(c.name);
    if (ico::ColourLimit(8) != 256 || ico::ColourLimit(9) != many || ico::ColourLimit(0) != 1)
        Fail("colour limits");
    std::printf("%zu choices on few-colour screens checked\n", sizeof cases / sizeof cases[0]);
}

// A 32-bit entry whose AND mask is missing or cut short gets its mask from the alpha channel:
// set where alpha is 0, with those pixels' colour black; any other alpha, however small, is
// drawn. Where every alpha byte is 0 (the byte left unused) nothing is see-through. (The
// platform draws such an icon by its alpha, so the unit tests' pixels cannot show the mask;
// it is used where the alpha is not, as on screens of fewer colours.)
void CheckMaskFromAlpha() {
    icosamples::Entry e = icosamples::SolidEntry(20, {200, 100, 50}, 32);
    e.seeThrough.assign(20 * 20, 0);
    for (int i = 0; i < 20 * 20; ++i) e.seeThrough[size_t(i)] = (i % 7 == 0) || (i / 20 < 3);
    const size_t pixels = 6 + 16 + 40;
    for (bool unusedAlpha : {false, true})
        for (int maskRows : {0, 5, 19}) {
            e.maskRows = maskRows;
            Bytes file = icosamples::WriteIcon({e});
            for (size_t at = pixels; at + 4 <= pixels + 20 * 20 * 4; at += 4) {
                if (file[at + 3] == 0) file[at] = file[at + 1] = file[at + 2] = 0xFF;  // white, yet see-through
                if (unusedAlpha) file[at + 3] = 0;
            }
            if (!unusedAlpha) file[pixels + (9 * 20 + 1) * 4 + 3] = 100, file[pixels + (9 * 20 + 2) * 4 + 3] = 200;
            ExactCopy copy(file);
            const ico::IconFile icon = ico::ReadIconFile(copy.data.get(), copy.size);
            const ico::BitmapParts parts = ico::LayOutBitmap(copy.data.get(), copy.size, icon.entries[0]);
            const uint8_t *colour = parts.ColourPixels(copy.data.get()), *mask = parts.MaskPixels(copy.data.get());
            int wrong = 0;
            for (int y = 0; y < 20; ++y)  // rows bottom-up, mask rows 4 bytes each
                for (int x = 0; x < 20; ++x) {
                    const bool seeThrough = !unusedAlpha && e.seeThrough[size_t((19 - y) * 20 + x)] != 0;
                    const bool masked = (mask[y * 4 + x / 8] >> (7 - x % 8)) & 1;
                    const uint8_t* pixel = colour + (y * 20 + x) * 4;
                    const bool black = !pixel[0] && !pixel[1] && !pixel[2];
                    wrong += masked != seeThrough || black != seeThrough;
                }
            if (parts.maskFromAlpha.empty() || wrong)
                Fail("mask from alpha with " + std::to_string(maskRows) + " mask rows" +
                     (unusedAlpha ? ", alpha unused: " : ": ") + std::to_string(wrong) + " pixels wrong");
        }
}

// A file whose 65,535 entries share one maskless 4000 x 4000 image: the directory check
// reads headers only (the image's pixels are kept unreadable while it runs), and the mask
// from alpha is made for the entry drawn alone.
void CheckManyEntriesOnOneImage() {
    size_t pixelsAt = 0;
    const Bytes file = icosamples::ManyEntriesOnOneHugeImage(&pixelsAt);
    const size_t page = size_t(sysconf(_SC_PAGESIZE)), length = (file.size() + page - 1) / page * page;
    void* mapped = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return Fail("no memory for the icon of 65,535 entries");
    auto* bytes = static_cast<uint8_t*>(mapped);
    std::memcpy(bytes, file.data(), file.size());
    const size_t locked = (pixelsAt + page - 1) / page * page;
    mprotect(bytes + locked, length - locked, PROT_NONE);
    try {
        const ico::IconFile icon = ico::ReadIconFile(bytes, file.size());
        mprotect(bytes + locked, length - locked, PROT_READ);
        const size_t chosen = ico::ChooseEntry(icon.entries, 32, 32, ico::ColourLimit(32));
        const ico::BitmapParts parts = ico::LayOutBitmap(bytes, file.size(), icon.entries[chosen]);
        const bool evenSeeThrough = parts.maskBytes == 500 * 4000 && parts.maskFromAlpha.size() == parts.maskBytes &&
                                    std::all_of(parts.maskFromAlpha.begin(), parts.maskFromAlpha.end(),
                                                [](uint8_t b) { return b == 0xAA; });
        Expect(icon.entries.size() == 65535 && evenSeeThrough, "65,535 entries on one image: its mask from alpha");
        std::printf("%zu entries sharing one 4000 x 4000 image checked (%zu bytes)\n", icon.entries.size(), file.size());
    } catch (const ico::IconError& e) {
        Fail(std::string("65,535 entries on one image refused: ") + e.what());
    }
    munmap(mapped, length);
}

// Files other programs wrote: every entry is laid out with its bytes inside the file.
void CheckWrittenFiles(int argc, char** argv) {
    const auto written = corpus::FilesOfFormat(argc, argv, {"ico"});
    for (const corpus::NamedFile& f : written) {
        try {
            ico::IconFile icon = ico::ReadIconFile(f.bytes.data(), f.bytes.size());
            if (icon.entries.empty()) Fail(f.name + ": no entries");
            volatile uint8_t sink = 0;
            for (const ico::DirectoryEntry& entry : icon.entries) {
                if (entry.png) continue;
                ico::BitmapParts parts = ico::LayOutBitmap(f.bytes.data(), f.bytes.size(), entry);
                const uint8_t *colour = parts.ColourPixels(f.bytes.data()), *mask = parts.MaskPixels(f.bytes.data());
                for (size_t i = 0; i < parts.colourBytes; ++i) sink = sink ^ colour[i];
                for (size_t i = 0; i < parts.maskBytes; ++i) sink = sink ^ mask[i];
            }
        } catch (const ico::IconError& e) {
            Fail(f.name + ": refused: " + e.what());
        }
    }
    std::printf("%zu icon files of other writers read\n", written.size());
}

}  // namespace

int main(int argc, char** argv) {
    CheckCorpus();
    CheckChoiceOnFewColours();
    CheckMaskFromAlpha();
    CheckManyEntriesOnOneImage();
    CheckWrittenFiles(argc, argv);
    return check::Finish("icon");
}
