// Writes the sample metafiles and the hostile corpus into a directory (the fuzzer's seeds).
#include <cstdio>
#include <string>
#include "graphics/MetafileSamples.h"

static bool WriteFile(const std::string& path, const mfsamples::Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    int n = WriteFile(dir + "/good.emf", mfsamples::SampleEmf(4));
    n += WriteFile(dir + "/good.wmf", mfsamples::Placeable(mfsamples::SampleWmf(), 0, 0, 1440, 720, 1440));
    for (const auto& bad : mfsamples::HostileMetafiles()) n += WriteFile(dir + "/bad_" + bad.name, bad.bytes);
    std::printf("%d files written to %s\n", n, dir.c_str());
    return 0;
}
