#include "graphics/icon/IconPrinting.h"
#include <cstdint>
#include <cstring>
#include <vector>
#include "graphics/GdiHandles.h"
#include "graphics/bitmap/DibSupport.h"

namespace {

// A 32-bit top-down section of `size` filled with `fill`, with the icon drawn on it.
struct Composed {
    OwnedBitmap bitmap;
    const uint32_t* pixels = nullptr;
};

Composed ComposeOn(HICON icon, SIZE size, uint32_t fill, BITMAPINFO& info) {
    Composed composed;
    void* bits = nullptr;
    composed.bitmap.reset(GdiCheck(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (LONG i = 0; i < size.cx * size.cy; ++i) pixels[i] = fill;
    OwnedDC memory(GdiCheck(CreateCompatibleDC(nullptr)));
    {
        SelectedObject selected(memory.get(), composed.bitmap.get());
        if (!selected.ok()) RaiseOutOfResources();
        DrawIconEx(memory.get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    }
    GdiFlush();
    composed.pixels = pixels;
    return composed;
}

// The icon's visible pixels: everything but those that keep the surface exactly as it was,
// found by drawing the icon on white and on black.
OwnedRegion VisiblePixels(const uint32_t* onWhite, const uint32_t* onBlack, SIZE size) {
    std::vector<RECT> runs;
    for (LONG y = 0; y < size.cy; ++y) {
        LONG x = 0;
        while (x < size.cx) {
            auto seeThrough = [&](LONG at) {
                size_t i = size_t(y) * size.cx + at;
                return (onWhite[i] & 0xFFFFFF) == 0xFFFFFF && (onBlack[i] & 0xFFFFFF) == 0;
            };
            if (seeThrough(x)) {
                ++x;
                continue;
            }
            LONG start = x;
            while (x < size.cx && !seeThrough(x)) ++x;
            runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = DWORD(runs.size());
    header->nRgnSize = DWORD(runs.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, size.cx, size.cy};
    if (!runs.empty()) std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    return OwnedRegion(GdiCheck(ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()))));
}

}  // namespace

bool IsPrinterContext(HDC dc) {
    int technology = GetDeviceCaps(dc, TECHNOLOGY);
    return technology == DT_RASPRINTER || technology == DT_PLOTTER;
}

void DrawIconOnPrinter(HDC dc, int x, int y, HICON icon, SIZE size) {
    if (size.cx <= 0 || size.cy <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader = Header32(size.cx, -size.cy);
    // On white paper the icon looks as it does drawn on white.
    Composed onWhite = ComposeOn(icon, size, 0xFFFFFF, info);
    Composed onBlack = ComposeOn(icon, size, 0x000000, info);
    OwnedRegion visible = VisiblePixels(onWhite.pixels, onBlack.pixels, size);
    POINT origin{x, y};
    LPtoDP(dc, &origin, 1);  // clipping regions are in device pixels
    OffsetRgn(visible.get(), origin.x, origin.y);
    SavedDCState saved(dc);
    ExtSelectClipRgn(dc, visible.get(), RGN_AND);
    StretchDIBits(dc, x, y, size.cx, size.cy, 0, 0, size.cx, size.cy, onWhite.pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
}
