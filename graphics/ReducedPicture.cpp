#include "graphics/ReducedPicture.h"

#include "graphics/Canvas.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/ReducedCopy.h"
#include "graphics/jpeg/JPEGImage.h"

TBitmap* ReducibleBitmap(TGraphic* graphic) {
    TBitmap* bitmap = dynamic_cast<TBitmap*>(graphic);
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
        if (jpeg->Decoding()) return nullptr;
        bitmap = jpeg->DecodeToBitmap();
    }
    if (!bitmap || bitmap->Transparent() || bitmap->IsEmpty()) return nullptr;
    return bitmap;
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
    if (TBitmap* bitmap = ReducibleBitmap(graphic)) {
        // Lives only while this rectangle is drawn; Make refuses a bitmap not larger than it.
        TReducedCopy copy;
        if (ReducesOnto(canvas.Handle()) && copy.Make(*bitmap, rect.Width(), rect.Height()) &&
            DrawReducedCopy(canvas, rect, copy))
            return;
    }
    canvas.StretchGraphic(rect, graphic);
}
