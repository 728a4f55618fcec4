// Helpers shared by the bitmap's source files: palettes from colour tables, the list of
// bitmap drawing contexts, the image lock and the errors for refused pixels.
#pragma once
#include <windows.h>
#include <mutex>

// BITMAPINFO with room for the masks or a full colour table.
struct InfoBlock {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// The header of a 32-bit BI_RGB DIB; a negative `height` puts the top row first.
inline BITMAPINFOHEADER Header32(LONG width, LONG height) {
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    return h;
}

// Held while a bitmap swaps its image block.
std::mutex& BitmapImageLock();

// Releases every bitmap drawing context that holds `bitmap` (a GDI bitmap can be selected
// into one context at a time), newest first, except one that a draw further up the stack
// is still copying from. False when such a context still holds it.
bool DeselectBitmap(HBITMAP bitmap);
class TBitmapCanvas;
void RegisterBitmapContext(TBitmapCanvas* canvas);
void UnregisterBitmapContext(TBitmapCanvas* canvas);

// A palette for `count` RGBQUAD entries (none for 0). Sixteen entries on a palette display
// take the standard palette's colours.
HPALETTE PaletteFromColours(const RGBQUAD* colours, UINT count);
// The colour table of a section (at most 256 entries); the count is returned. The section
// is first released from any bitmap drawing context that holds it.
UINT SectionColourTable(HBITMAP section, RGBQUAD* colours);
// A palette with the same entries, or none for none.
HPALETTE CopyPalette(HPALETTE palette);
// Deletes a palette unless it is none or the standard one.
void DeleteOwnedPalette(HPALETTE palette);

// The platform's description of a bitmap (all zero first; a device bitmap fills dsBm
// only). For a section made from `asked`, the row order and compression are taken from
// what was asked: some platforms report every section bottom-up, or 16-bit BI_RGB as
// bit fields.
void DescribeBitmap(HBITMAP bitmap, const BITMAPINFOHEADER* asked, DIBSECTION& description);

int ScreenDepth();  // BITSPIXEL x PLANES of the screen

// The platform refused to make pixels: EOSError with its error number and text when it
// gave one, else EInvalidGraphic "ビットマップイメージが不正です".
[[noreturn]] void RaisePixelsRefused();
[[noreturn]] void RaiseInvalidBitmap();
