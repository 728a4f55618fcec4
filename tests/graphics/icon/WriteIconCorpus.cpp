// Writes built icons and the hostile corpus into a directory (the fuzzer's seeds).
#include "native/CorpusWriter.h"
#include "graphics/icon/IconSamples.h"

int main(int argc, char** argv) {
    return corpus::Main(argc, argv, [](const std::string& dir) {
        int n = 0;
        const icosamples::Rgb colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        for (int bits : {1, 4, 8, 24, 32})
            n += corpus::WriteFile(dir + "/good_" + std::to_string(bits) + ".ico",
                                   icosamples::WriteIcon({icosamples::QuadrantEntry(16, colours, bits)}));
        for (const auto& bad : icosamples::HostileCorpus())
            n += corpus::WriteFile(dir + "/bad_" + bad.name + ".ico", bad.bytes);
        return n;
    });
}
