#include "framework/TextRules.h"
#include <windows.h>
#include <vector>
#include "rtl/Format.h"

namespace {

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

// Length in bytes of the character starting at `i`; a lead byte at the very end counts alone.
size_t CharLength(const std::string& s, size_t i) {
    return (IsLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace

size_t LastCharacterOffset(const std::string& text) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) last = i;
    return last;
}

std::string ApplicationTitleFromPath(const std::string& path) {
    // After the last "\" (a trail byte equal to "\" is part of its character, not a separator).
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i))
        if (path[i] == '\\') start = i + 1;
    std::string name = path.substr(start);
    // Before the first ".".
    for (size_t i = 0; i < name.size(); i += CharLength(name, i))
        if (name[i] == '.') {
            name.resize(i);
            break;
        }
    if (name.empty()) return name;
    size_t first = CharLength(name, 0);
    if (first < name.size()) {
        std::vector<char> rest(name.begin() + first, name.end());
        CharLowerBuffA(rest.data(), static_cast<DWORD>(rest.size()));
        name.replace(first, std::string::npos, rest.data(), rest.size());
    }
    return name;
}

std::string ErrorBoxText(const std::string& message) {
    size_t last = LastCharacterOffset(message);
    if (last == std::string::npos) return message;
    bool doubleByte = last + 1 < message.size();
    if (doubleByte || static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string FatalErrorText(const std::string& className, const std::string& moduleName,
                           const void* address, const std::string& message) {
    bool endsWithStop = !message.empty() && message.back() == '.';
    return Format("%sがモジュール %s の %p で発生しました。\n%s%s",
                  {className, moduleName, address, message, endsWithStop ? "" : "."});
}
