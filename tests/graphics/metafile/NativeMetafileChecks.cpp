// Runs the metafile record walks natively (under AddressSanitizer and UBSan in this build)
// over the sample metafiles and the hostile corpus. Each file is given in a heap block of
// exactly its size, so a read past its end stops the run. Exit status 0 only when all pass.
#include <cstdio>
#include <memory>
#include <string>
#include "graphics/metafile/MetafileRecords.h"
#include "graphics/metafile/MetafileSamples.h"
#include "native/CheckReport.h"

int main(int argc, char** argv) {
    using namespace mfsamples;
    const Bytes wmf = SampleWmf(), emf = SampleEmf();
    auto read = [](const uint8_t* data, size_t size) {
        return mf::CheckMetafileFile(data, size).ok() ? "accepted" : "refused";
    };
    // The samples are accepted; exactly 100 bytes of an enhanced header are not taken as an
    // enhanced metafile.
    const std::vector<check::NamedFile> samples = {{"emf", emf},
                                                   {"emf with 300 palette entries", SampleEmf(300)},
                                                   {"emf given a palette", WithPalette(emf, 7)},
                                                   {"placeable wmf", Placeable(wmf, 0, 0, 1440, 720, 1440)},
                                                   {"placeable wmf, inch 0", Placeable(wmf, 0, 0, 1440, 720, 0)},
                                                   {"a lone 100-byte enhanced header", Bytes(emf.begin(), emf.begin() + 100)}};
    check::ReadAll("sample metafiles", samples, read, [](const check::NamedFile& f) {
        return f.name == "a lone 100-byte enhanced header" ? "refused" : "accepted";
    });
    check::ReadAll("hostile metafiles", HostileMetafiles(), read,
                   [](const Hostile& h) { return h.mustBeRefused ? "refused" : ""; });
    // Files other programs wrote are accepted.
    check::ReadAll("metafiles of other writers", check::FilesOfFormat(argc, argv, {"emf", "wmf"}), read,
                   [](const check::NamedFile&) { return "accepted"; });
    return check::Finish("metafile");
}
