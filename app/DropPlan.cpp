#include "app/DropPlan.h"
#include <windows.h>

namespace {

// Lead bytes of the ANSI code page's double-byte characters; the byte after one may look
// like "\", a digit or a letter and must not be read as such.
bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
unsigned char Folded(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Offset of the name: past the last "\" that is not the second byte of a character.
size_t NameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c) && i + 1 < path.size()) ++i;
        else if (c == '\\') start = i + 1;
    }
    return start;
}

// <0, 0 or >0 as `a` lists before, with or after `b`.
int CompareListed(const std::string& a, size_t i, const std::string& b, size_t j) {
    while (i < a.size() && j < b.size()) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        if (IsDigit(x) && IsDigit(y)) {
            // By value: leading zeros aside, the longer run is the larger number.
            size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && IsDigit(static_cast<unsigned char>(b[ej]))) ++ej;
            while (i + 1 < ei && a[i] == '0') ++i;
            while (j + 1 < ej && b[j] == '0') ++j;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            for (; i < ei; ++i, ++j)
                if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
            continue;
        }
        // A double-byte character compares as its two bytes, after every single-byte one.
        const unsigned wx = IsLeadByte(x) && i + 1 < a.size() ? 0x10000u | x << 8 | static_cast<unsigned char>(a[i + 1]) : Folded(x);
        const unsigned wy = IsLeadByte(y) && j + 1 < b.size() ? 0x10000u | y << 8 | static_cast<unsigned char>(b[j + 1]) : Folded(y);
        if (wx != wy) return wx < wy ? -1 : 1;
        i += wx > 0xFFFF ? 2 : 1;
        j += wy > 0xFFFF ? 2 : 1;
    }
    return (i < a.size()) - (j < b.size());
}

}  // namespace

bool ListedBefore(const std::string& a, const std::string& b) {
    const int order = CompareListed(a, NameStart(a), b, NameStart(b));
    return order != 0 ? order < 0 : a < b;
}

std::vector<int> DropTargetSlots(int onSlot, const bool (&empty)[4], size_t files) {
    std::vector<int> slots;
    for (int slot = onSlot < 0 ? 0 : onSlot; slot < 4 && slots.size() < files; ++slot)
        if (onSlot >= 0 || empty[slot]) slots.push_back(slot);
    return slots;
}
