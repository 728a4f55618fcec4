// What the native check programs share: each failure printed as it is found and counted,
// one loop that reads a corpus file by file, the files named on the command line (run.sh
// names those of tests/data, which other programs wrote), the closing line, and the exit
// status run.sh reads (0 only when nothing failed).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace check {

inline int failures = 0;

inline void Fail(const std::string& what) {
    ++failures;
    std::printf("FAIL %s\n", what.c_str());
}

inline void Expect(bool condition, const std::string& what) {
    if (!condition) Fail(what);
}

// Prints the closing line for the checks of `what` and answers main's exit status.
inline int Finish(const char* what) {
    if (failures) std::printf("%d %s checks failed\n", failures, what);
    else std::printf("all native %s checks passed\n", what);
    return failures ? 1 : 0;
}

// The file on the heap in a block of exactly its size, so that any read past it is caught.
struct ExactCopy {
    explicit ExactCopy(const std::vector<uint8_t>& b) : data(new uint8_t[b.size() ? b.size() : 1]), size(b.size()) {
        if (size) std::memcpy(data.get(), b.data(), size);
    }
    std::unique_ptr<uint8_t[]> data;
    size_t size;
};

// Reads every file (anything with a name and bytes) from an exact copy: `read(data, size)`
// answers how it ended ("picture", "read error", ...), `expected(file)` how it must end
// ("" when either way will do). Prints how many ended each way.
template <class File, class Read, class Expected>
void ReadAll(const std::string& what, const std::vector<File>& files, Read read, Expected expected) {
    std::map<std::string, int> endings;
    for (const File& file : files) {
        const ExactCopy copy(file.bytes);
        const std::string ending = read(copy.data.get(), copy.size), wanted = expected(file);
        ++endings[ending];
        if (!wanted.empty() && ending != wanted) Fail(file.name + ": ended as " + ending + ", expected " + wanted);
    }
    std::printf("%zu %s:", files.size(), what.c_str());
    for (const auto& [ending, count] : endings) std::printf(" %d %s;", count, ending.c_str());
    std::printf("\n");
}

// The ending a sample corpus's expected outcome names ("" when either way will do).
template <class Outcome>
std::string EndingFor(Outcome o) {
    return o == Outcome::Picture ? "picture" : o == Outcome::ReadError ? "read error" : o == Outcome::InvalidImage ? "refused" : "";
}

struct NamedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The files named on the command line that have one of a format's extensions.
inline std::vector<NamedFile> FilesOfFormat(int argc, char** argv, std::initializer_list<const char*> extensions) {
    std::vector<NamedFile> files;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        const size_t dot = path.rfind('.');
        for (const char* extension : extensions) {
            if (dot == std::string::npos || path.compare(dot + 1, std::string::npos, extension) != 0) continue;
            std::ifstream in(path, std::ios::binary);
            files.push_back({path.substr(path.rfind('/') + 1),
                             std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>())});
        }
    }
    return files;
}

}  // namespace check
