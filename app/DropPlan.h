// Where files dropped on the main window go: their order and the slot each one takes, over
// names in the ANSI code page (double-byte characters kept whole).
#pragma once
#include <string>
#include <vector>

// True when `a` comes before `b` in the order a file manager lists names by default: letters
// without regard to case, a run of digits by its value ("photo2" before "photo10"), and
// double-byte characters kept whole. Only the part after the last "\" counts; paths that are
// the same by that rule keep their plain byte order.
bool ListedBefore(const std::string& a, const std::string& b);

// The slot (0 to 3) for each of `files` dropped files, in order; files past the last slot
// get none, so the answer may be shorter. `onSlot` is the slot under the drop point (-1:
// none): the files go there and into the slots after it. Elsewhere they go into the
// slots that are `empty`, in slot order.
std::vector<int> DropTargetSlots(int onSlot, const bool (&empty)[4], size_t files);
