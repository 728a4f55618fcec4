// What every format's corpus writer shares: its one argument, the directory, and writing a file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace corpus {

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Calls write(directory), which answers how many files it wrote.
template <class Write>
int Main(int argc, char** argv, Write write) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::printf("%d files written to %s\n", write(dir), dir.c_str());
    return 0;
}

}  // namespace corpus
