#include "framework/Layout.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"

namespace {

std::string TrimRight(const std::string& s) {
    size_t e = s.find_last_not_of(" \t\r");
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

// Splits off the first blank-separated word of `line` (from `pos`), advancing `pos`
// to the start of the following word.
std::string NextWord(const std::string& line, size_t& pos) {
    size_t b = line.find_first_not_of(" \t", pos);
    if (b == std::string::npos) {
        pos = line.size();
        return {};
    }
    size_t e = line.find_first_of(" \t", b);
    if (e == std::string::npos) e = line.size();
    size_t next = line.find_first_not_of(" \t", e);
    pos = next == std::string::npos ? line.size() : next;
    return line.substr(b, e - b);
}

[[noreturn]] void BadLine(int number) {
    throw EReadError(Format("ウィンドウ レイアウトの %d 行目が無効です", {number}));
}

}  // namespace

Layout ParseLayout(const std::string& text) {
    Layout layout;
    bool haveForm = false;
    LayoutObject* current = nullptr;
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = TrimRight(text.substr(start, end - start));
        start = end + 1;
        ++number;
        size_t pos = 0;
        std::string word = NextWord(line, pos);
        if (word.empty() || word[0] == '#') continue;
        if (word == "form" || word == "component") {
            std::string name = NextWord(line, pos);
            std::string cls = NextWord(line, pos);
            if (name.empty() || cls.empty() || pos != line.size()) BadLine(number);
            if (word == "form") {
                if (haveForm) BadLine(number);
                haveForm = true;
                current = &layout.Form;
            } else {
                if (!haveForm) BadLine(number);
                layout.Components.emplace_back();
                current = &layout.Components.back();
            }
            current->Name = name;
            current->ClassName = cls;
            continue;
        }
        if (!current) BadLine(number);
        current->Properties.push_back({word, line.substr(pos)});
    }
    if (!haveForm) BadLine(number);
    return layout;
}

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty()) return {};
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), wide);
    int narrow = WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

std::string LoadLayoutText(HMODULE module, const char* name) {
    HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EReadError(Format("リソース %s が見つかりません", {name}));
    std::string utf8(static_cast<const char*>(bytes), SizeofResource(module, info));
    // A UTF-8 byte-order mark, if an editor left one.
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);
    return Utf8ToAnsi(utf8);
}
