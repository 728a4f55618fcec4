// The program's texts are in its code page (932); a Linux terminal wants UTF-8.
#pragma once
#include <windows.h>
#include <string>

inline std::string TerminalText(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    int n = MultiByteToWideChar(932, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(932, 0, ansi.data(), int(ansi.size()), wide.data(), n);
    n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}
