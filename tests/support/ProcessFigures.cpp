#include "support/ProcessFigures.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

#include "support/GdiCounter.h"

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

// Wine numbers user handles 0x20, 0x22, ... up to 0xFFEE; a handle whose high word is 0
// matches its slot whatever generation the object has, and asking for an icon that
// belongs to no one (or to another process) fails at once.
int LiveIconsAndCursors() {
    int live = 0;
    for (uintptr_t handle = 0x20; handle <= 0xFFEE; handle += 2) {
        ICONINFO info;
        if (!GetIconInfo(reinterpret_cast<HICON>(handle), &info)) continue;
        ++live;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    return live;
}

// Committed memory that belongs to this process alone, region by region: what Windows
// reports as private bytes, for systems that leave that figure at 0 (Wine does).
uint64_t CommittedPrivateBytes() {
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

}  // namespace

uint64_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    uint64_t busy = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

int LiveUserObjects() {
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported) return static_cast<int>(reported);
    int windows = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows + LiveIconsAndCursors();
}

ProcessFigures ReadProcessFigures() {
    ProcessFigures figures;
    figures.gdiObjects = LiveGdiObjects();
    figures.userObjects = LiveUserObjects();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory))
        figures.privateBytes = memory.PrivateUsage;
    if (!figures.privateBytes) figures.privateBytes = CommittedPrivateBytes();
    figures.heapBytesInUse = HeapBytesInUse();
    return figures;
}
