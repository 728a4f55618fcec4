// The fitting rule of an image area: where a picture of w x h pixels is drawn inside a
// client area of cw x ch pixels.
#pragma once
#include <cstdint>
#include "rtl/Object.h"

// Scales when `stretch`, or when `proportional` and the picture exceeds the client area in
// a dimension. Proportional scaling keeps the ratio w / h as a double and evaluates each
// product or quotient with it in 80-bit extended precision, truncating toward zero.
// `center` moves the result by the truncated half of the leftover space.
TRect FitPictureRect(int32_t w, int32_t h, int32_t cw, int32_t ch, bool stretch, bool proportional,
                     bool center);
