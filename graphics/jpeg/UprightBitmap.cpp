#include "graphics/jpeg/UprightBitmap.h"
#include "graphics/bitmap/DibSupport.h"
#include "graphics/GdiHandles.h"
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/jpeg/TurnPixels.h"

namespace {

// The first row's address and the distance to the next (negative for rows stored bottom up).
struct Rows {
    uint8_t* first;
    ptrdiff_t stride;
};

Rows RowsOf(TBitmap& bitmap) {
    auto* first = static_cast<uint8_t*>(bitmap.ScanLine(0));
    return {first, bitmap.Height() > 1 ? static_cast<uint8_t*>(bitmap.ScanLine(1)) - first : 0};
}

}  // namespace

void TurnUpright(TBitmap& bitmap, int orientation) {
    if (orientation < 2 || orientation > 8 || bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
    // The decoder gives 8 bits on a palette or 24; any other depth is turned at 24.
    TPixelFormat depth = bitmap.PixelDepth();
    if (depth != TPixelFormat::pf8bit && depth != TPixelFormat::pf24bit && depth != TPixelFormat::pf32bit) {
        bitmap.SetPixelDepth(TPixelFormat::pf24bit);
        depth = TPixelFormat::pf24bit;
    }
    const int bytes = depth == TPixelFormat::pf8bit ? 1 : depth == TPixelFormat::pf24bit ? 3 : 4;
    const int32_t width = bitmap.Width(), height = bitmap.Height();
    const bool swaps = jpeg::SwapsAxes(orientation);

    // The turned picture is made whole beside the stored one and then takes its place: a
    // failure on the way leaves the bitmap as it was.
    TBitmap turned;
    turned.SetPixelDepth(depth);
    if (bytes == 1 && bitmap.Palette()) {
        // The palette goes in while the bitmap is empty, as the decoder gives it; the bitmap
        // owns the copy from then on.
        OwnedPalette palette(GdiCheck(CopyPalette(bitmap.Palette())));
        turned.SetPalette(palette.get());
        palette.release();
    }
    turned.SetSizeUnfilled(swaps ? height : width, swaps ? width : height);
    const Rows from = RowsOf(bitmap), to = RowsOf(turned);
    jpeg::TurnPixels(from.first, from.stride, width, height, bytes, to.first, to.stride, orientation);
    bitmap.CopyFrom(&turned);
}
