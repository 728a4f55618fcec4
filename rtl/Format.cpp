#include "rtl/Format.h"
#include <algorithm>
#include <cstdio>
#include <vector>
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

[[noreturn]] void FormatMismatch(const std::string& format) {
    std::string text = LoadResString(res::SInvalidFormat);
    std::string::size_type at = text.find("%s");
    if (at == std::string::npos) throw EConvertError(format);
    throw EConvertError(text.substr(0, at) + format + text.substr(at + 2));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Pad(std::string text, int width, bool leftJustify) {
    if (width > 0 && static_cast<int>(text.size()) < width) {
        std::string fill(width - text.size(), ' ');
        text = leftJustify ? text + fill : fill + text;
    }
    return text;
}

std::string Digits(unsigned long long value, bool hex, int minDigits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, hex ? "%llX" : "%llu", value);
    std::string digits = buffer;
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, minDigits - digits.size(), '0');
    return digits;
}

}  // namespace

std::string Format(const std::string& format, std::initializer_list<FormatArg> args) {
    std::vector<const FormatArg*> list;
    for (const FormatArg& a : args) list.push_back(&a);

    std::string out;
    size_t next = 0;  // the argument a plain placeholder takes
    size_t i = 0;
    const size_t n = format.size();
    while (i < n) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[index:][-][width][.precision]type
        size_t start = i;
        while (i < n && IsDigit(format[i])) ++i;
        if (i < n && format[i] == ':') {
            if (i == start || i - start > 6) FormatMismatch(format);
            next = std::stoul(format.substr(start, i - start));
            ++i;
        } else {
            i = start;
        }
        bool leftJustify = false;
        if (i < n && format[i] == '-') {
            leftJustify = true;
            ++i;
        }
        int width = 0;
        while (i < n && IsDigit(format[i])) width = std::min(width * 10 + (format[i++] - '0'), 100000);
        int precision = -1;
        if (i < n && format[i] == '.') {
            ++i;
            precision = 0;
            while (i < n && IsDigit(format[i]))
                precision = std::min(precision * 10 + (format[i++] - '0'), 100000);
        }
        if (i >= n || width > 4096 || precision > 4096) FormatMismatch(format);
        char type = format[i++];
        if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
        if (next >= list.size()) FormatMismatch(format);
        const FormatArg& arg = *list[next++];

        std::string text;
        switch (type) {
        case 's':
            if (arg.kind() != FormatArg::Text) FormatMismatch(format);
            text = arg.text();
            if (precision >= 0 && static_cast<int>(text.size()) > precision) text.resize(precision);
            break;
        case 'd':
        case 'u': {
            if (arg.kind() != FormatArg::Integer) FormatMismatch(format);
            long long v = arg.integer();
            bool negative = type == 'd' && v < 0;
            unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(v)
                                                    : static_cast<unsigned long long>(v);
            if (type == 'u') magnitude &= 0xFFFFFFFFull;
            text = (negative ? "-" : "") + Digits(magnitude, false, precision);
            break;
        }
        case 'x':
            if (arg.kind() != FormatArg::Integer) FormatMismatch(format);
            text = Digits(static_cast<unsigned long long>(arg.integer()) & 0xFFFFFFFFull, true, precision);
            break;
        case 'p':
            if (arg.kind() != FormatArg::Pointer) FormatMismatch(format);
            text = Digits(static_cast<unsigned long long>(arg.integer()), true, 8);
            break;
        default:
            FormatMismatch(format);
        }
        out += Pad(std::move(text), width, leftJustify);
    }
    return out;
}
