// Runs the metafile record walks natively (under AddressSanitizer and UBSan in this build)
// over the sample metafiles and the hostile corpus. Each file is given in a heap block of
// exactly its size, so a read past its end stops the run. Exit status 0 only when all pass.
#include <cstdio>
#include <memory>
#include <string>
#include "graphics/metafile/MetafileRecords.h"
#include "graphics/metafile/MetafileSamples.h"
#include "native/CheckReport.h"
#include "native/CorpusFiles.h"

namespace {

using check::Expect;

// The walk's answer; whatever it accepts, the copy handed over passes the walk itself.
mf::WalkResult Check(const std::string& name, const mfsamples::Bytes& bytes) {
    Expect(mfsamples::RepairedCopyHolds(bytes), name + ": the repaired copy fails the walk");
    const check::ExactCopy exact(bytes);
    return mf::CheckMetafileFile(exact.data.get(), exact.size);
}

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
    const Bytes wmf = SampleWmf();
    struct Good { const char* name; Bytes bytes; };
    const uint32_t wmfWords = static_cast<uint32_t>(wmf.size() / 2);
    const Good goods[] = {{"emf", SampleEmf()},
                          {"emf with 300 palette entries", SampleEmf(300)},
                          {"emf given a palette", WithPalette(SampleEmf(), 7)},
                          {"emf, the original header and a description", WithOriginalHeader(SampleEmf(), u"fig2dev 3.2")},
                          {"placeable wmf", Placeable(wmf, 0, 0, 1440, 720, 1440)},
                          {"placeable wmf, inch 0", Placeable(wmf, 0, 0, 1440, 720, 0)},
                          {"placeable wmf whose size counts the placeable header",
                           Placeable(samplebytes::With32(wmf, 6, wmfWords + 11), 0, 0, 1440, 720, 1440)}};
    for (const Good& g : goods) {
        mf::WalkResult r = Check(g.name, g.bytes);
        Expect(r.ok(), std::string(g.name) + " refused: " + (r.problem ? r.problem : "") + " at " +
                           std::to_string(r.offset));
    }
    // Exactly 100 bytes of an enhanced header are not taken as an enhanced metafile.
    const Bytes emf = SampleEmf();
    const Bytes header(emf.begin(), emf.begin() + 100);
    Expect(!Check("header", header).ok(), "a lone 100-byte enhanced header accepted");

    int refused = 0, accepted = 0;
    const std::vector<Hostile> corpus = HostileMetafiles();
    for (const Hostile& h : corpus) {
        const mf::WalkResult r = Check(h.name, h.bytes);
        r.ok() ? ++accepted : ++refused;
        if (h.mustBeRefused) Expect(!r.ok(), h.name + " accepted");
    }
    std::printf("metafiles: %zu hostile files walked, %d refused, %d accepted\n", corpus.size(), refused, accepted);
    // Each object goes into the lowest free slot, found in a step however full the table:
    // 65,535 slots filled, then freed and made again 100,000 times. An object past the 65,535
    // slots a table can have is refused; a table the header makes too small is made larger.
    Expect(Check("full table", FullObjectTable(65535, 100000, 65534, 0)).ok(), "a full object table made again refused");
    Expect(!Check("past the largest table", FullObjectTable(65535, 3, 7, 1)).ok(), "an object past 65,535 slots accepted");
    Expect(Check("table too small", FullObjectTable(40, 3, 7, 1)).ok(), "a table the header makes too small refused");
    // Files other programs wrote are accepted.
    const auto written = corpus::FilesOfFormat(argc, argv, {"emf", "wmf"});
    for (const corpus::NamedFile& f : written) {
        const mf::WalkResult r = Check(f.name, f.bytes);
        Expect(r.ok(), f.name + " refused: " + (r.problem ? r.problem : "") + " at " + std::to_string(r.offset));
    }
    std::printf("metafiles: %zu files of other writers walked\n", written.size());
    return check::Finish("metafile");
}
