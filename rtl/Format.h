// Message formatting: "%s" and "%d" take the arguments in order; an indexed placeholder
// such as "%2:s" takes argument 2 (counting from 0), and plain placeholders after it go on
// from there. "%p" prints an address as (at least) eight upper-case hexadecimal digits; "%%" is a percent sign.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

class FormatArg {
public:
    FormatArg(const char* s) : kind_(Text), text_(s ? s : "") {}
    FormatArg(const std::string& s) : kind_(Text), text_(s) {}
    FormatArg(int v) : kind_(Integer), int_(v) {}
    FormatArg(long v) : kind_(Integer), int_(v) {}
    FormatArg(long long v) : kind_(Integer), int_(v) {}
    FormatArg(unsigned v) : kind_(Integer), int_(v) {}
    FormatArg(unsigned long v) : kind_(Integer), int_(static_cast<long long>(v)) {}
    FormatArg(unsigned long long v) : kind_(Integer), int_(static_cast<long long>(v)) {}
    FormatArg(const void* p) : kind_(Pointer), int_(static_cast<long long>(reinterpret_cast<uintptr_t>(p))) {}

    enum Kind { Text, Integer, Pointer };
    Kind kind() const { return kind_; }
    const std::string& text() const { return text_; }
    long long integer() const { return int_; }

private:
    Kind kind_;
    std::string text_;
    long long int_ = 0;
};

// Fails with EConvertError on a placeholder that does not match its argument or has none.
std::string Format(const std::string& format, std::initializer_list<FormatArg> args);
