// Writes the accepted forms and the damaged files into a directory (the fuzzer's seeds).
#include "native/CorpusWriter.h"
#include "graphics/bitmap/BmpSamples.h"

int main(int argc, char** argv) {
    return corpus::Main(argc, argv, [](const std::string& dir) {
        int n = 0;
        for (const auto& form : samples::AcceptedForms())
            n += corpus::WriteFile(dir + "/good_" + form.Name() + ".bmp",
                                   samples::WriteBmp(samples::ReferencePicture(form.bitCount), form));
        for (const auto& bad : samples::MalformedCorpus())
            n += corpus::WriteFile(dir + "/bad_" + bad.name + ".bmp", bad.bytes);
        return n;
    });
}
