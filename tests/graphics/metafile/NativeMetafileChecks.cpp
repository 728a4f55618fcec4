// Runs the metafile record walks natively (under AddressSanitizer and UBSan in this build)
// over the sample metafiles and the hostile corpus. Each file is given in a heap block of
// exactly its size, so a read past its end stops the run. Exit status 0 only when all pass.
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include "graphics/metafile/MetafileRecords.h"
#include "graphics/metafile/MetafileSamples.h"
#include "native/CheckReport.h"
#include "native/CorpusFiles.h"

namespace {

using check::Expect;

mf::WalkResult Check(const mfsamples::Bytes& bytes) {
    const check::ExactCopy exact(bytes);
    return mf::CheckMetafileFile(exact.data.get(), exact.size);
}

// A placeable metafile whose `objects`-slot table is filled by brushes, then has `remakes` of
// freeing slot `freed` and making a brush again, and then `extra` more brushes.
mfsamples::Bytes FullObjectTable(uint32_t objects, uint32_t remakes, uint16_t freed, uint32_t extra) {
    mfsamples::Bytes records, file(22);
    auto add = [&](std::initializer_list<uint16_t> words) {
        for (uint16_t w : words) records.push_back(uint8_t(w)), records.push_back(uint8_t(w >> 8));
    };
    for (uint32_t i = 0; i < objects; ++i) add({7, 0, 0x02FC, 0, 0, 0, 0});
    for (uint32_t k = 0; k < remakes; ++k) add({4, 0, 0x01F0, freed}), add({7, 0, 0x02FC, 0, 0, 0, 0});
    for (uint32_t i = 0; i < extra; ++i) add({7, 0, 0x02FC, 0, 0, 0, 0});
    add({3, 0, 0});
    mf::WritePlaceableHeader(file.data(), 0, 0, 100, 100, 1440);
    const uint32_t words = uint32_t(9 + records.size() / 2);
    for (uint32_t w : {1u, 9u, 0x300u, words & 0xFFFF, words >> 16, objects, 0u, 0u, 0u})
        file.push_back(uint8_t(w)), file.push_back(uint8_t(w >> 8));
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace mfsamples;
    const Bytes wmf = SampleWmf();
    struct Good { const char* name; Bytes bytes; };
    const Good goods[] = {{"emf", SampleEmf()},
                          {"emf with 300 palette entries", SampleEmf(300)},
                          {"emf given a palette", WithPalette(SampleEmf(), 7)},
                          {"placeable wmf", Placeable(wmf, 0, 0, 1440, 720, 1440)},
                          {"placeable wmf, inch 0", Placeable(wmf, 0, 0, 1440, 720, 0)}};
    for (const Good& g : goods) {
        mf::WalkResult r = Check(g.bytes);
        Expect(r.ok(), std::string(g.name) + " refused: " + (r.problem ? r.problem : "") + " at " +
                           std::to_string(r.offset));
    }
    // Exactly 100 bytes of an enhanced header are not taken as an enhanced metafile.
    const Bytes emf = SampleEmf();
    const Bytes header(emf.begin(), emf.begin() + 100);
    Expect(!Check(header).ok(), "a lone 100-byte enhanced header accepted");

    int refused = 0, accepted = 0;
    const std::vector<Hostile> corpus = HostileMetafiles();
    for (const Hostile& h : corpus) {
        const mf::WalkResult r = Check(h.bytes);
        r.ok() ? ++accepted : ++refused;
        if (h.mustBeRefused) Expect(!r.ok(), h.name + " accepted");
    }
    std::printf("metafiles: %zu hostile files walked, %d refused, %d accepted\n", corpus.size(), refused, accepted);
    // Each object goes into the lowest free slot, found in a step however full the table:
    // 65,535 slots filled, then freed and made again 100,000 times. One object more than the
    // slots is refused; one more after a delete is not.
    Expect(Check(FullObjectTable(65535, 100000, 65534, 0)).ok(), "a full object table made again refused");
    Expect(!Check(FullObjectTable(40, 3, 7, 1)).ok(), "an object made into a full table accepted");
    Expect(Check(FullObjectTable(40, 3, 7, 0)).ok(), "an object made into a freed slot refused");
    // Files other programs wrote are accepted.
    const auto written = corpus::FilesOfFormat(argc, argv, {"emf", "wmf"});
    for (const corpus::NamedFile& f : written) {
        const mf::WalkResult r = mf::CheckMetafileFile(f.bytes.data(), f.bytes.size());
        Expect(r.ok(), f.name + " refused: " + (r.problem ? r.problem : "") + " at " + std::to_string(r.offset));
    }
    std::printf("metafiles: %zu files of other writers walked\n", written.size());
    return check::Finish("metafile");
}
