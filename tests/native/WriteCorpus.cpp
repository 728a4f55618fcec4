// Writes the accepted forms and the damaged files into a directory (the fuzzer's seeds).
#include <cstdio>
#include <string>
#include "support/BmpSamples.h"

static bool WriteFile(const std::string& path, const samples::Bytes& bytes) {
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
    for (const auto& form : samples::AcceptedForms())
        n += WriteFile(dir + "/good_" + form.Name() + ".bmp",
                       samples::WriteBmp(samples::ReferencePicture(form.bitCount), form));
    for (const auto& bad : samples::MalformedCorpus()) n += WriteFile(dir + "/bad_" + bad.name + ".bmp", bad.bytes);
    std::printf("%d files written to %s\n", n, dir.c_str());
    return 0;
}
