// Drawing a picture through a copy reduced to the rectangle it is shown in, for the
// pictures that draw through a bitmap: a large photo on a 300 dpi page or in a 160 x 120
// slot is then handed over at the size it is shown at, not at its full size.
#pragma once
#include <windows.h>
#include "graphics/Graphic.h"

class TBitmap;
class TCanvas;
class TReducedCopy;

// The bitmap whose pixels `graphic` draws at width x height, when those can be reduced to
// that size: what the graphic answers (a bitmap itself; a JPEG picture a bitmap decoded at
// the smallest scale that still covers the size, decoding first as its drawing would and
// raising as its drawing would). None for no graphic, icons, metafiles, transparent bitmaps
// and a JPEG picture whose decode is still under way (its bitmap is not final yet).
TBitmap* ReducibleBitmap(TGraphic* graphic, int32_t width, int32_t height);

// Whether a reduced copy can stand for the picture on this device: one of more than 8 bits
// per pixel (on palette devices the bitmap's own drawing chooses halftoning).
bool ReducesOnto(HDC dc);

// The canvas's StretchGraphic, through a copy of the picture reduced to the rectangle and
// dropped afterwards when the picture is a bitmap larger than the rectangle; the picture
// itself, as before, when it is not, or when the copy cannot be made.
void StretchGraphicReduced(TCanvas& canvas, const TRect& rect, TGraphic* graphic);

// Draws `copy` (made for `rect`'s size, or for any size when `stretched`) onto the canvas
// at `rect`, with the canvas's usual preparation and notifications. False, having drawn
// nothing, when GDI refused it.
bool DrawReducedCopy(TCanvas& canvas, const TRect& rect, const TReducedCopy& copy, bool stretched = false);
