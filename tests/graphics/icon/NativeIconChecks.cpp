// Runs the icon directory reader natively (under AddressSanitizer and UBSan in this build):
// the hostile corpus must end as expected with every accepted entry's bytes inside the
// file, and the entry choice must hold on screens of few colours, which the virtual display
// cannot show. (Built files' pixels are compared through the platform by the unit tests.)
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include "graphics/icon/IconDirectory.h"
#include "graphics/icon/IconSamples.h"
#include "native/CheckReport.h"

namespace {

using icosamples::Bytes;

using check::ExactCopy;
using check::Fail;

// How a file ends: an accepted file's every entry must lie inside it (each byte is read)
// and the entry chosen for any size and screen must be one of them.
std::string Read(const uint8_t* data, size_t size) {
    try {
        ico::IconFile icon = ico::ReadIconFile(data, size);
        volatile uint8_t sink = 0;
        for (const ico::DirectoryEntry& entry : icon.entries) {
            if (entry.png) {
                for (size_t i = 0; i < entry.bytesInRes; ++i) sink = sink ^ data[entry.imageOffset + i];
                continue;
            }
            ico::BitmapParts parts = ico::LayOutBitmap(data, size, entry);
            const uint8_t *colour = parts.ColourPixels(data), *mask = parts.MaskPixels(data);
            for (size_t i = 0; i < parts.colourBytes; ++i) sink = sink ^ colour[i];
            for (size_t i = 0; i < parts.maskBytes; ++i) sink = sink ^ mask[i];
        }
        for (int32_t wanted : {16, 32, 48, 256})
            for (uint16_t bits : {1, 4, 8, 32})
                if (ico::ChooseEntry(icon.entries, wanted, wanted, ico::ColourLimit(bits)) >=
                    std::max<size_t>(icon.entries.size(), 1))
                    return "a choice out of range";
        return "picture";
    } catch (const ico::IconError& e) {
        return e.failure() == ico::Failure::ReadError ? "read error" : "refused";
    }
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
// set where alpha is 0, with those pixels' colour black. (The platform draws such an icon by
// its alpha, so the unit tests' pixels cannot show the mask; it is used where the alpha is
// not, as on screens of fewer colours.)
void CheckMaskFromAlpha() {
    icosamples::Entry e = icosamples::SolidEntry(20, {200, 100, 50}, 32);
    e.seeThrough.assign(20 * 20, 0);
    for (int i = 0; i < 20 * 20; ++i) e.seeThrough[size_t(i)] = (i % 7 == 0) || (i / 20 < 3);
    for (int maskRows : {0, 5, 19}) {
        e.maskRows = maskRows;
        Bytes file = icosamples::WriteIcon({e});
        for (size_t at = 6 + 16 + 40; at + 4 <= 6 + 16 + 40 + 20 * 20 * 4; at += 4)
            if (file[at + 3] == 0) file[at] = file[at + 1] = file[at + 2] = 0xFF;  // white, yet see-through
        ExactCopy copy(file);
        const ico::IconFile icon = ico::ReadIconFile(copy.data.get(), copy.size);
        const ico::BitmapParts parts = ico::LayOutBitmap(copy.data.get(), copy.size, icon.entries[0]);
        const uint8_t *colour = parts.ColourPixels(copy.data.get()), *mask = parts.MaskPixels(copy.data.get());
        int wrong = 0;
        for (int y = 0; y < 20; ++y)  // rows bottom-up, mask rows 4 bytes each
            for (int x = 0; x < 20; ++x) {
                const bool seeThrough = e.seeThrough[size_t((19 - y) * 20 + x)] != 0;
                const bool masked = (mask[y * 4 + x / 8] >> (7 - x % 8)) & 1;
                const uint8_t* pixel = colour + (y * 20 + x) * 4;
                const bool black = !pixel[0] && !pixel[1] && !pixel[2];
                wrong += masked != seeThrough || black != seeThrough;
            }
        if (parts.maskFromAlpha.empty() || wrong)
            Fail("mask from alpha with " + std::to_string(maskRows) + " mask rows: " + std::to_string(wrong) +
                 " pixels wrong");
    }
}

}  // namespace

int main(int argc, char** argv) {
    check::ReadAll("hostile icon files", icosamples::HostileCorpus(), Read, [](const icosamples::Hostile& f) -> std::string {
        switch (f.expected) {
        case icosamples::Outcome::Picture: return "picture";
        case icosamples::Outcome::ReadError: return "read error";
        case icosamples::Outcome::InvalidImage: return "refused";
        default: return "";
        }
    });
    CheckChoiceOnFewColours();
    CheckMaskFromAlpha();
    // Files other programs wrote: every entry is laid out with its bytes inside the file.
    auto readWithEntries = [](const uint8_t* data, size_t size) {
        const std::string ending = Read(data, size);
        return ending == "picture" && ico::ReadIconFile(data, size).entries.empty() ? "no entries" : ending;
    };
    check::ReadAll("icon files of other writers", check::FilesOfFormat(argc, argv, {"ico"}), readWithEntries,
                   [](const check::NamedFile&) { return "picture"; });
    return check::Finish("icon");
}
