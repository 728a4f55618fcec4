#include "support/GdiCounter.h"
#include <windows.h>
#include <cstdint>

namespace {

// One entry of the shared GDI handle table, as the 64-bit process environment block
// points to it (GdiSharedHandleTable).
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "64-bit table entries");
constexpr int kTableEntries = 0x10000;

const GdiHandleEntry* SharedHandleTable() {
#ifdef _WIN64
    const uint8_t* peb;  // the TEB's field 0x60, off gs (GCC warns about the header's NtCurrentTeb)
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
#else
    return nullptr;
#endif
}

}  // namespace

int LiveGdiObjects() {
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported) return static_cast<int>(reported);
    const GdiHandleEntry* table = SharedHandleTable();
    if (!table) return -1;
    int live = 0;
    for (int i = 0; i < kTableEntries; ++i)
        if (table[i].type != 0) ++live;
    return live;
}
