// A class descriptor for graphics: the registries store these, never instances.
#pragma once
#include <cstring>

class TGraphic;

struct TGraphicClassInfo {
    const char* name;                 // "TBitmap", "TIcon", ...
    const TGraphicClassInfo* parent;  // nullptr for TGraphic itself
    TGraphic* (*create)();            // nullptr for the abstract TGraphic

    // True when this class is `other` or derives from it.
    bool InheritsFrom(const TGraphicClassInfo* other) const {
        for (const TGraphicClassInfo* c = this; c; c = c->parent)
            if (c == other) return true;
        return false;
    }
};

using GraphicClass = const TGraphicClassInfo*;
