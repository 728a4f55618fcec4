// Writes a format's built files, good and hostile, into a directory: the fuzzer's seeds.
// Usage: write_corpus bmp|icon|jpeg|metafile DIRECTORY
#include <cstdio>
#include <string>
#include <utility>
#include <vector>
#include "graphics/bitmap/BmpSamples.h"
#include "graphics/icon/IconSamples.h"
#include "graphics/jpeg/JpegSamples.h"
#include "graphics/metafile/MetafileSamples.h"

int main(int argc, char** argv) {
    const std::string format = argc == 3 ? argv[1] : "", dir = argc == 3 ? argv[2] : "";
    std::vector<std::pair<std::string, samplebytes::Bytes>> files;  // name with its extension, bytes
    if (format == "bmp") {
        for (const auto& form : samples::AcceptedForms())
            files.push_back({"good_" + form.Name() + ".bmp", samples::WriteBmp(samples::ReferencePicture(form.bitCount), form)});
        for (const auto& bad : samples::MalformedCorpus()) files.push_back({"bad_" + bad.name + ".bmp", bad.bytes});
    } else if (format == "icon") {
        const icosamples::Rgb colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        for (int bits : {1, 4, 8, 24, 32})
            files.push_back({"good_" + std::to_string(bits) + ".ico", icosamples::WriteIcon({icosamples::QuadrantEntry(16, colours, bits)})});
        for (const auto& bad : icosamples::HostileCorpus()) files.push_back({"bad_" + bad.name + ".ico", bad.bytes});
    } else if (format == "jpeg") {
        for (const auto& f : jpegsamples::GoodFiles()) files.push_back({"good_" + f.name + ".jpg", f.bytes});
        for (const auto& f : jpegsamples::HostileFiles()) files.push_back({"bad_" + f.name + ".jpg", f.bytes});
    } else if (format == "metafile") {
        files.push_back({"good.emf", mfsamples::SampleEmf(4)});
        files.push_back({"good.wmf", mfsamples::Placeable(mfsamples::SampleWmf(), 0, 0, 1440, 720, 1440)});
        for (const auto& bad : mfsamples::HostileMetafiles()) files.push_back({"bad_" + bad.name, bad.bytes});
    } else {
        std::fprintf(stderr, "usage: %s bmp|icon|jpeg|metafile DIRECTORY\n", argv[0]);
        return 2;
    }
    size_t written = 0;
    for (const auto& [name, bytes] : files) {
        FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
        if (!f) continue;
        const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        written += std::fclose(f) == 0 && ok;
    }
    std::printf("%zu of %zu files written to %s\n", written, files.size(), dir.c_str());
    return written == files.size() ? 0 : 1;
}
