#include "rtl/ResourceStrings.h"
#include <windows.h>
#include <vector>

std::string LoadResString(int id) {
    // LoadStringA cannot report the length it needs, so grow until the text fits with room
    // to spare (a result of size - 1 may have been cut).
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (int size = 1024; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        int length = LoadStringA(module, static_cast<UINT>(id), buffer.data(), size);
        if (length <= 0) return std::string();
        if (length < size - 1) return std::string(buffer.data(), length);
    }
    return std::string();
}
