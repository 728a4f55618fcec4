#include "framework/LayoutValues.h"
#include <cstdlib>
#include "rtl/Exceptions.h"
#include "rtl/Format.h"

namespace {

[[noreturn]] void InvalidValue(const std::string& value) {
    throw EReadError(Format("プロパティ値 %s が無効です", {value}));
}

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

struct NamedColor {
    const char* name;
    TColor color;
};

const NamedColor kColors[] = {
    {"clBlack", clBlack},
    {"clWhite", clWhite},
    {"clBtnFace", clBtnFace},
    {"clWindowText", clWindowText},
    {"clWindow", static_cast<TColor>(0x80000000u | COLOR_WINDOW)},
    {"clBtnHighlight", static_cast<TColor>(0x80000000u | COLOR_BTNHIGHLIGHT)},
    {"clBtnShadow", static_cast<TColor>(0x80000000u | COLOR_BTNSHADOW)},
    {"clBtnText", static_cast<TColor>(0x80000000u | COLOR_BTNTEXT)},
};

}  // namespace

int32_t LayoutInteger(const std::string& value) {
    std::string v = Trimmed(value);
    if (v.empty()) InvalidValue(value);
    char* end = nullptr;
    long long n = std::strtoll(v.c_str(), &end, 10);
    if (*end != '\0' || n < INT32_MIN || n > INT32_MAX) InvalidValue(value);
    return static_cast<int32_t>(n);
}

bool LayoutBoolean(const std::string& value) {
    std::string v = Trimmed(value);
    if (v == "True") return true;
    if (v == "False") return false;
    InvalidValue(value);
}

TColor LayoutColor(const std::string& value) {
    std::string v = Trimmed(value);
    for (const NamedColor& c : kColors)
        if (v == c.name) return c.color;
    if (v.size() == 9 && v[0] == '$') {
        char* end = nullptr;
        unsigned long n = std::strtoul(v.c_str() + 1, &end, 16);
        if (*end == '\0') return static_cast<TColor>(n);
    }
    InvalidValue(value);
}

BYTE LayoutCharset(const std::string& value) {
    std::string v = Trimmed(value);
    if (v == "SHIFTJIS_CHARSET") return SHIFTJIS_CHARSET;
    if (v == "DEFAULT_CHARSET") return DEFAULT_CHARSET;
    if (v == "ANSI_CHARSET") return ANSI_CHARSET;
    int32_t n = LayoutInteger(v);
    if (n < 0 || n > 255) InvalidValue(value);
    return static_cast<BYTE>(n);
}

unsigned LayoutFontStyle(const std::string& value) {
    std::string v = Trimmed(value);
    if (!v.empty() && v.front() == '[') {
        if (v.back() != ']') InvalidValue(value);
        v = v.substr(1, v.size() - 2);
    }
    unsigned style = 0;
    size_t pos = 0;
    while (pos <= v.size()) {
        size_t comma = v.find(',', pos);
        std::string item = Trimmed(v.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (item == "fsBold") style |= fsBold;
        else if (item == "fsItalic") style |= fsItalic;
        else if (item == "fsUnderline") style |= fsUnderline;
        else if (item == "fsStrikeOut") style |= fsStrikeOut;
        else if (!item.empty() || comma != std::string::npos) InvalidValue(value);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return style;
}

int LayoutEnum(const std::string& value, std::initializer_list<const char*> names) {
    std::string v = Trimmed(value);
    int i = 0;
    for (const char* name : names) {
        if (v == name) return i;
        ++i;
    }
    InvalidValue(value);
}
