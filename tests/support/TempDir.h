// A fresh directory under the system's temporary directory, removed with its files (one
// level deep) when the test ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Writes `bytes` to File(name) and returns that path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        return Write(name, std::string(bytes.begin(), bytes.end()));
    }

private:
    std::string path_;
};

// The whole of a file (a Windows path); "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
