#include "display/FittedRect.h"

namespace {

// Truncation toward zero of an extended-precision value.
int32_t Trunc(long double v) { return static_cast<int32_t>(v); }

}  // namespace

TRect FitPictureRect(int32_t w, int32_t h, int32_t cw, int32_t ch, bool stretch, bool proportional,
                     bool center) {
    if (stretch || (proportional && (w > cw || h > ch))) {
        if (proportional && w > 0 && h > 0) {
            // The ratio is kept as a double: the pixel results depend on that rounding.
            // `volatile` makes sure it really is rounded and not left in an x87 register.
            volatile double stored = static_cast<double>(static_cast<long double>(w) / static_cast<long double>(h));
            const long double ratio = stored;
            if (w > h) {
                w = cw;
                h = Trunc(static_cast<long double>(cw) / ratio);
                if (h > ch) {
                    h = ch;
                    w = Trunc(static_cast<long double>(ch) * ratio);
                }
            } else {
                h = ch;
                w = Trunc(static_cast<long double>(ch) * ratio);
                if (w > cw) {
                    w = cw;
                    h = Trunc(static_cast<long double>(cw) / ratio);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r = Rect(0, 0, w, h);
    if (center) {
        // In 64 bits: a metafile may report a size near the most negative 32-bit number, and
        // the leftover space would then wrap round; its half fits again.
        const int32_t dx = static_cast<int32_t>((int64_t{cw} - w) / 2), dy = static_cast<int32_t>((int64_t{ch} - h) / 2);
        r = Rect(dx, dy, dx + w, dy + h);
    }
    return r;
}
