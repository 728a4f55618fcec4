// Writes built icons and the hostile corpus into a directory (the fuzzer's seeds).
#include <cstdio>
#include <string>
#include "support/IconSamples.h"

static bool WriteFile(const std::string& path, const icosamples::Bytes& bytes) {
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
    std::string dir = argv[1];
    int n = 0;
    const icosamples::Rgb colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int bits : {1, 4, 8, 24, 32})
        n += WriteFile(dir + "/good_" + std::to_string(bits) + ".ico",
                       icosamples::WriteIcon({icosamples::QuadrantEntry(16, colours, bits)}));
    for (const auto& bad : icosamples::HostileCorpus()) n += WriteFile(dir + "/bad_" + bad.name + ".ico", bad.bytes);
    std::printf("%d files written to %s\n", n, dir.c_str());
    return 0;
}
