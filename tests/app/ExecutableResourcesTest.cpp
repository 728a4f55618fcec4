// What the built program carries for the system: its version block, in Japanese and
// English, and the manifest the loader reads.
#include <gtest/gtest.h>
#include <windows.h>

#include "Version.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string VersionValue(const std::vector<char>& block, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value) return "(none)";
    return std::string(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
}

}  // namespace

TEST(ExecutableResources, VersionInJapaneseAndEnglishAndAManifestRunningAsTheUser) {
    const char* exe = std::getenv("TETRAFOL_EXE");
    ASSERT_NE(exe, nullptr);

    std::vector<char> block(GetFileVersionInfoSizeA(exe, nullptr));
    ASSERT_FALSE(block.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoA(exe, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    EXPECT_EQ(fixed->dwFileVersionMS, TETRAFOL_VERSION_MS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    const std::pair<const char*, const char*> values[] = {
        {"041104B0\\FileDescription", "画像 4 枚を 1 枚の用紙に印刷"},
        {"041104B0\\ProductName", "Tetrafol"},
        {"041104B0\\OriginalFilename", "Tetrafol.exe"},
        {"041104B0\\FileVersion", TETRAFOL_VERSION_TEXT},
        {"040904B0\\FileDescription", "Prints four pictures on one sheet"},
        {"040904B0\\ProductName", "Tetrafol"},
        {"040904B0\\ProductVersion", TETRAFOL_VERSION_TEXT},
    };
    for (const auto& [path, expected] : values)
        EXPECT_EQ(VersionValue(block, std::string("\\StringFileInfo\\") + path), expected) << path;

    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    // Windows 10 and 11 share one identifier.
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos) << "the look must stay";
    // Aware of the system's resolution only: one layout for every monitor.
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos);
    EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos);
    EXPECT_EQ(manifest.find("PerMonitor"), std::string::npos);
}
