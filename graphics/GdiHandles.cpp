#include "graphics/GdiHandles.h"
#include <string>
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

void RaiseOutOfResources() {
    DWORD code = GetLastError();
    std::string text;
    if (code != 0) {
        char* buffer = nullptr;
        DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        if (buffer) {
            text.assign(buffer, length);
            LocalFree(buffer);
        }
        // The system's texts end in a line break, which a message box would show as an empty line.
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    }
    if (text.empty()) text = LoadResString(res::SOutOfResources);
    throw EOutOfResources(text);
}
