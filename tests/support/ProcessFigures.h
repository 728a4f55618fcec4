// What the soak watches of its own process after each cycle: GDI objects, USER objects,
// private bytes and the bytes the heaps hand out.
#pragma once
#include <cstdint>

struct ProcessFigures {
    int gdiObjects = -1;
    int userObjects = -1;
    // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage; where the system leaves it at 0 (Wine), the
    // committed private regions of the address space, added up.
    uint64_t privateBytes = 0;
    uint64_t heapBytesInUse = 0;  // busy blocks of every heap of the process
};

ProcessFigures ReadProcessFigures();
// The busy blocks of every heap of the process, alone (the quickest of the figures).
uint64_t HeapBytesInUse();

// USER objects of this process. Where GetGuiResources answers (Windows) it is asked.
// Under Wine it answers 0; there the count is the process's windows (top-level ones and
// all their descendants, visible or not) plus its icons and cursors, found by asking for
// the icon behind each slot of the user handle table. Menus, hooks and accelerator tables
// are not counted there.
int LiveUserObjects();
