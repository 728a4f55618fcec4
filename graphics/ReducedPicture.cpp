#include "graphics/ReducedPicture.h"

#include "graphics/Canvas.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/ReducedCopy.h"

TBitmap* ReducibleBitmap(TGraphic* graphic, int32_t width, int32_t height) {
    return graphic ? graphic->BitmapForSize(width, height) : nullptr;
}

bool ReducesOnto(HDC dc) { return dc && GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) > 8; }

bool DrawReducedCopy(TCanvas& canvas, const TRect& rect, const TReducedCopy& copy, bool stretched) {
    if (copy.Empty() || (!stretched && (copy.Width() != rect.Width() || copy.Height() != rect.Height()))) return false;
    canvas.Changing();
    canvas.RequiredState(TCanvas::csAllValid);
    const bool drawn = copy.Draw(canvas.Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), canvas.CopyMode);
    canvas.Changed();
    return drawn;
}

void StretchGraphicReduced(TCanvas& canvas, const TRect& rect, TGraphic* graphic) {
    if (TBitmap* bitmap = ReducibleBitmap(graphic, rect.Width(), rect.Height())) {
        // Lives only while this rectangle is drawn; Make refuses a bitmap not larger than it.
        TReducedCopy copy;
        if (ReducesOnto(canvas.Handle()) && copy.Make(*bitmap, rect.Width(), rect.Height()) &&
            DrawReducedCopy(canvas, rect, copy))
            return;
    }
    canvas.StretchGraphic(rect, graphic);
}
