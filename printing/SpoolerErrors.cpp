#include "printing/SpoolerErrors.h"

#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

namespace {
std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result;
    if (length && text) {
        result.assign(text, length);
        // The system ends its texts with a line break and often a full stop; drop both.
        while (!result.empty() && (static_cast<unsigned char>(result.back()) <= ' ' ||
                                   result.back() == '.'))
            result.pop_back();
    }
    if (text) LocalFree(text);
    return result;
}
}  // namespace

void RaiseOSError(DWORD code) {
    if (code == 0) throw EOSError(LoadResString(res::SUnkOSError));
    throw EOSError(Format(LoadResString(res::SOSError), {static_cast<int>(code), SystemErrorText(code)}));
}

std::string NextListItem(const std::string& text, size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ',') ++pos;
    std::string item = text.substr(start, pos - start);
    if (pos < text.size()) ++pos;  // past the comma
    return item;
}
