// Writes the JPEG files the suites decode, good and hostile, into a directory (the fuzzer's seeds).
#include "native/CorpusWriter.h"
#include "graphics/jpeg/JpegSamples.h"

int main(int argc, char** argv) {
    return corpus::Main(argc, argv, [](const std::string& dir) {
        int n = 0;
        for (const auto& f : jpegsamples::GoodFiles()) n += corpus::WriteFile(dir + "/good_" + f.name + ".jpg", f.bytes);
        for (const auto& f : jpegsamples::HostileFiles()) n += corpus::WriteFile(dir + "/bad_" + f.name + ".jpg", f.bytes);
        return n;
    });
}
