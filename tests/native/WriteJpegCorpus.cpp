// Writes the JPEG files the suites decode, good and hostile, into a directory (the fuzzer's seeds).
#include <cstdio>
#include <string>
#include "support/JpegSamples.h"

static bool WriteFile(const std::string& path, const jpegsamples::Bytes& bytes) {
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
    for (const auto& f : jpegsamples::GoodFiles()) n += WriteFile(dir + "/good_" + f.name + ".jpg", f.bytes);
    for (const auto& f : jpegsamples::HostileFiles()) n += WriteFile(dir + "/bad_" + f.name + ".jpg", f.bytes);
    std::printf("%d files written to %s\n", n, dir.c_str());
    return 0;
}
