// What the native check programs share: each failure printed as it is found and counted,
// the closing line, and the exit status run.sh reads (0 only when nothing failed).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
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

}  // namespace check
