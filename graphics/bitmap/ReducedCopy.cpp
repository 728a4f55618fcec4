#include "graphics/bitmap/ReducedCopy.h"

#include <algorithm>
#include "graphics/GdiHandles.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/BoxReduce.h"
#include "graphics/bitmap/DibSupport.h"

namespace {

// The source is read in bands of about this many bytes of 32-bit rows, so that the extra
// memory stays small whatever the picture's size.
constexpr size_t kBandBytes = 4u << 20;

// Whether a bitmap of bitmapWidth x bitmapHeight shown at width x height is worth reducing
// first: larger on one side at least and smaller on neither.
bool ReducesTo(int32_t bitmapWidth, int32_t bitmapHeight, int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= bitmapWidth && height <= bitmapHeight &&
           (width < bitmapWidth || height < bitmapHeight);
}

}  // namespace

void TReducedCopy::Clear() noexcept {
    std::vector<uint8_t>().swap(pixels_);
    width_ = height_ = 0;
}

bool TReducedCopy::Make(TBitmap& bitmap, int32_t width, int32_t height) noexcept {
    Clear();
    const int32_t sw = bitmap.Width(), sh = bitmap.Height();
    if (!ReducesTo(sw, sh, width, height) || !box::CanReduce(uint32_t(sw), uint32_t(sh), uint32_t(width), uint32_t(height)))
        return false;
    HBITMAP handle = bitmap.Image().DrawHandle ? bitmap.Image().DrawHandle : bitmap.Image().SectionHandle;
    if (!handle) return false;
    try {
        std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
        box::Reducer reducer(uint32_t(sw), uint32_t(sh), uint32_t(width), uint32_t(height), pixels.data(),
                             size_t(width) * 4);
        const size_t stride = size_t(sw) * 4;
        const uint32_t band = uint32_t(std::max<size_t>(1, std::min<size_t>(kBandBytes / stride, size_t(sh))));
        std::vector<uint8_t> rows(stride * band);
        // GetDIBits wants the bitmap out of every context (one an outer draw still copies
        // from stays: the picture is then drawn as it is); it converts any depth, palette,
        // bit fields or row order into the 32-bit rows asked for, so palette pictures are
        // averaged in colours, not indexes.
        if (!DeselectBitmap(handle)) return false;
        WindowDC screen;
        if (!screen) return false;
        // Bands are asked for bottom-up, where scan line 0 is the picture's bottom row and
        // the band's rows come bottom first; the reduction takes them top first.
        BITMAPINFO info = {};
        for (uint32_t top = 0; top < uint32_t(sh);) {
            const uint32_t n = std::min(band, uint32_t(sh) - top);
            info.bmiHeader = Header32(sw, sh);
            const UINT start = UINT(uint32_t(sh) - top - n);
            if (GetDIBits(screen.get(), handle, start, n, rows.data(), &info, DIB_RGB_COLORS) != int(n)) return false;
            reducer.AddRows(rows.data() + (n - 1) * stride, -ptrdiff_t(stride), n);
            top += n;
        }
        if (!reducer.Done()) return false;
        pixels_.swap(pixels);
        width_ = width;
        height_ = height;
        return true;
    } catch (...) {
        // Out of memory, or a size the arithmetic refuses: the picture is drawn as it is.
        return false;
    }
}

bool TReducedCopy::Draw(HDC dc, int x, int y, int w, int h, DWORD rop) const noexcept {
    if (pixels_.empty()) return false;
    if (w != width_ || h != height_) SetStretchBltMode(dc, COLORONCOLOR);
    BITMAPINFO info = {};
    info.bmiHeader = Header32(width_, -height_);
    return StretchDIBits(dc, x, y, w, h, 0, 0, width_, height_, pixels_.data(), &info, DIB_RGB_COLORS, rop) ==
           height_;
}
