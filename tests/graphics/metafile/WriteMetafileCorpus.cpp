// Writes the sample metafiles and the hostile corpus into a directory (the fuzzer's seeds).
#include "graphics/metafile/MetafileSamples.h"
#include "native/CorpusWriter.h"

int main(int argc, char** argv) {
    return corpus::Main(argc, argv, [](const std::string& dir) {
        int n = corpus::WriteFile(dir + "/good.emf", mfsamples::SampleEmf(4));
        n += corpus::WriteFile(dir + "/good.wmf", mfsamples::Placeable(mfsamples::SampleWmf(), 0, 0, 1440, 720, 1440));
        for (const auto& bad : mfsamples::HostileMetafiles())
            n += corpus::WriteFile(dir + "/bad_" + bad.name, bad.bytes);
        return n;
    });
}
