// The files named on a native check's command line (run.sh names those of tests/data, which
// other programs wrote) that have one of a format's extensions. Each is held in a block of
// exactly its size, so that a read past its end is caught.
#pragma once
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace corpus {

struct NamedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

inline std::vector<NamedFile> FilesOfFormat(int argc, char** argv, std::initializer_list<const char*> extensions) {
    std::vector<NamedFile> files;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        const size_t dot = path.rfind('.');
        if (dot == std::string::npos) continue;
        for (const char* extension : extensions) {
            if (path.compare(dot + 1, std::string::npos, extension) != 0) continue;
            std::ifstream in(path, std::ios::binary);
            std::vector<uint8_t> read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            NamedFile f{path.substr(path.rfind('/') + 1), {}};
            f.bytes.assign(read.begin(), read.end());
            f.bytes.shrink_to_fit();
            files.push_back(std::move(f));
        }
    }
    return files;
}

}  // namespace corpus
