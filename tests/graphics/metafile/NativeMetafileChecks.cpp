// Runs the metafile record walks natively (under AddressSanitizer and UBSan in this build)
// over the sample metafiles and the hostile corpus. Each file is given in a heap block of
// exactly its size, so a read past its end stops the run. Exit status 0 only when all pass.
#include <string>
#include "graphics/metafile/MetafileRecords.h"
#include "graphics/metafile/MetafileSamples.h"
#include "native/CheckReport.h"

namespace {

using check::Expect;

// A placeable metafile: `objects` brushes fill its table, then `remakes` times slot `freed` is
// deleted and a brush made again, then `extra` brushes more.
mfsamples::Bytes FullObjectTable(uint32_t objects, uint32_t remakes, uint16_t freed, uint32_t extra) {
    const uint32_t words = 9 + 7 * (objects + remakes + extra) + 4 * remakes + 3;
    mfsamples::Bytes file(22), brush = {7, 0, 0, 0, 0xFC, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    mf::WritePlaceableHeader(file.data(), 0, 0, 100, 100, 1440);
    for (uint32_t w : {1u, 9u, 0x300u, words & 0xFFFF, words >> 16, objects, 0u, 0u, 0u})
        file.insert(file.end(), {uint8_t(w), uint8_t(w >> 8)});
    for (uint32_t i = 0; i < objects + remakes + extra; ++i) {
        if (i >= objects && i < objects + remakes) file.insert(file.end(), {4, 0, 0, 0, 0xF0, 1, uint8_t(freed), uint8_t(freed >> 8)});
        file.insert(file.end(), brush.begin(), brush.end());
    }
    file.insert(file.end(), {3, 0, 0, 0, 0, 0});
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace mfsamples;
    const Bytes wmf = SampleWmf(), emf = SampleEmf();
    const uint32_t wmfWords = static_cast<uint32_t>(wmf.size() / 2);
    auto read = [](const uint8_t* data, size_t size) {
        return mf::CheckMetafileFile(data, size).ok() ? "accepted" : "refused";
    };
    // Whatever the walk accepts, the copy handed to the platform passes the walk itself.
    auto repaired = [](const std::string& name, const Bytes& bytes) {
        Expect(RepairedCopyHolds(bytes), name + ": the repaired copy fails the walk");
    };
    // The samples are accepted; exactly 100 bytes of an enhanced header are not taken as an
    // enhanced metafile.
    const std::vector<check::NamedFile> samples = {
        {"emf", emf},
        {"emf with 300 palette entries", SampleEmf(300)},
        {"emf given a palette", WithPalette(emf, 7)},
        {"emf, the original header and a description", WithOriginalHeader(emf, u"fig2dev 3.2")},
        {"placeable wmf", Placeable(wmf, 0, 0, 1440, 720, 1440)},
        {"placeable wmf, inch 0", Placeable(wmf, 0, 0, 1440, 720, 0)},
        {"placeable wmf whose size counts the placeable header",
         Placeable(samplebytes::With32(wmf, 6, wmfWords + 11), 0, 0, 1440, 720, 1440)},
        // Each object goes into the lowest free slot, found in a step however full the table:
        // 65,535 slots filled, then freed and made again 100,000 times. An object past the
        // 65,535 slots a table can have is refused; a table the header makes too small grows.
        {"a full object table made again", FullObjectTable(65535, 100000, 65534, 0)},
        {"an object past 65,535 slots", FullObjectTable(65535, 3, 7, 1)},
        {"an object table the header makes too small", FullObjectTable(40, 3, 7, 1)},
        {"placeable wmf carrying an emf in comments", Placeable(CarryingWmf(emf), 0, 0, 1440, 720, 1440)},
        {"a lone 100-byte enhanced header", Bytes(emf.begin(), emf.begin() + 100)}};
    check::ReadAll("sample metafiles", samples, read, [&](const check::NamedFile& f) {
        repaired(f.name, f.bytes);
        return f.name == "a lone 100-byte enhanced header" || f.name == "an object past 65,535 slots" ? "refused"
                                                                                                      : "accepted";
    });
    check::ReadAll("hostile metafiles", HostileMetafiles(), read, [&](const Hostile& h) {
        repaired(h.name, h.bytes);
        return h.mustBeRefused ? "refused" : "";
    });
    // Files other programs wrote are accepted.
    check::ReadAll("metafiles of other writers", check::FilesOfFormat(argc, argv, {"emf", "wmf"}), read,
                   [&](const check::NamedFile& f) {
                       repaired(f.name, f.bytes);
                       return "accepted";
                   });
    return check::Finish("metafile");
}
