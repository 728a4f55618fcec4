// Runs the icon directory reader natively (under AddressSanitizer and UBSan in this build):
// the hostile corpus must end as expected with every accepted entry's bytes inside the
// file, and the entry choice must hold on screens of few colours, which the virtual display
// cannot show. (Built files' pixels are compared through the platform by the unit tests.)
#include <sys/mman.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include "graphics/icon/IconDirectory.h"
#include "graphics/icon/IconSamples.h"
#include "native/CheckReport.h"

namespace {

using icosamples::Bytes;

using check::ExactCopy;
using check::Expect;
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
// set where alpha is 0, with those pixels' colour black; any other alpha (here 100 and 200
// too) is drawn. With alpha 0 throughout (the byte unused) nothing is see-through. (The
// platform draws such an icon by its alpha, so the unit tests' pixels cannot show the mask;
// it is used where the alpha is not, as on screens of fewer colours.)
void CheckMaskFromAlpha() {
    icosamples::Entry e = icosamples::SolidEntry(20, {200, 100, 50}, 32);
    e.seeThrough.assign(20 * 20, 0);
    for (int i = 0; i < 20 * 20; ++i) e.seeThrough[size_t(i)] = (i % 7 == 0) || (i / 20 < 3);
    for (int form = 0; form < 6; ++form) {
        const int maskRows = form % 3 == 0 ? 0 : form % 3 == 1 ? 5 : 19;
        const bool unusedAlpha = form >= 3;
        e.maskRows = maskRows;
        Bytes file = icosamples::WriteIcon({e});
        for (size_t at = 6 + 16 + 40; at + 4 <= 6 + 16 + 40 + 20 * 20 * 4; at += 4) {
            if (file[at + 3] == 0) file[at] = file[at + 1] = file[at + 2] = 0xFF;  // white, yet see-through
            file[at + 3] = unusedAlpha ? 0 : at == 6 + 16 + 40 + 724 ? 100 : at == 6 + 16 + 40 + 728 ? 200 : file[at + 3];
        }
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
            Fail("mask from alpha with " + std::to_string(maskRows) + " mask rows" + (unusedAlpha ? ", alpha unused: " : ": ") +
                 std::to_string(wrong) + " pixels wrong");
    }
}

// 65,535 entries sharing one 32-bit 4000 x 4000 image without AND mask (62 MiB, under the
// loader's 64 MiB), alpha 0 at even x: the directory check reads headers only (the pixels are
// kept unreadable while it runs), and the mask from alpha is made for the entry drawn alone.
void CheckManyEntriesOnOneImage() {
    const uint32_t entries = 65535, imageAt = 6 + 16 * entries, pixelsAt = imageAt + 40, size = pixelsAt + 64000000;
    const size_t page = size_t(sysconf(_SC_PAGESIZE)), length = (size + page - 1) / page * page;
    const size_t locked = (pixelsAt + page - 1) / page * page;
    void* mapped = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return Fail("no memory for 65,535 entries on one image");
    auto* file = static_cast<uint8_t*>(mapped);
    Bytes head = {0, 0, 1, 0, 0xFF, 0xFF};
    for (uint32_t i = 0; i < entries; ++i) {  // 256 x 256, true colour, one plane of 32 bits
        head.insert(head.end(), {0, 0, 0, 0, 1, 0, 32, 0});
        samplebytes::Append32(head, size - imageAt);
        samplebytes::Append32(head, imageAt);
    }
    for (uint32_t v : {40u, 4000u, 8000u, 0x200001u}) samplebytes::Append32(head, v);
    std::memcpy(file, head.data(), head.size());
    for (size_t at = pixelsAt; at < size; at += 8) file[at + 7] = 255;
    mprotect(file + locked, length - locked, PROT_NONE);
    try {
        const ico::IconFile icon = ico::ReadIconFile(file, size);
        mprotect(file + locked, length - locked, PROT_READ);
        const auto& drawn = icon.entries[ico::ChooseEntry(icon.entries, 32, 32, ico::ColourLimit(32))];
        const ico::BitmapParts parts = ico::LayOutBitmap(file, size, drawn);
        Expect(parts.maskFromAlpha.size() == 500 * 4000 && std::all_of(parts.maskFromAlpha.begin(), parts.maskFromAlpha.end(),
                                                                     [](uint8_t b) { return b == 0xAA; }),
               "65,535 entries on one image: its mask from alpha");
        std::printf("%zu entries sharing one 4000 x 4000 image read (%u bytes)\n", icon.entries.size(), size);
    } catch (const ico::IconError& e) {
        Fail(std::string("65,535 entries on one image refused: ") + e.what());
    }
    munmap(mapped, length);
}

}  // namespace

int main(int argc, char** argv) {
    check::ReadAll("hostile icon files", icosamples::HostileCorpus(), Read, [](const icosamples::Hostile& f) { return check::EndingFor(f.expected); });
    CheckChoiceOnFewColours();
    CheckMaskFromAlpha();
    CheckManyEntriesOnOneImage();
    // Files other programs wrote: every entry is laid out with its bytes inside the file.
    auto readWithEntries = [](const uint8_t* data, size_t size) {
        const std::string ending = Read(data, size);
        return ending == "picture" && ico::ReadIconFile(data, size).entries.empty() ? "no entries" : ending;
    };
    check::ReadAll("icon files of other writers", check::FilesOfFormat(argc, argv, {"ico"}), readWithEntries,
                   [](const check::NamedFile&) { return "picture"; });
    return check::Finish("icon");
}
