// A decoded photo turned upright as its camera recorded (the EXIF orientation).
#pragma once
#include "graphics/bitmap/Bitmap.h"

// Replaces the bitmap's pixels by the upright picture of `orientation` (1 to 8; anything else
// leaves it as it is, as does 1), at the same depth and with the same palette; orientations
// 5 to 8 exchange its width and height. Throws EOutOfResources when the platform gives no
// bitmap for the turned picture; the bitmap is then unchanged.
void TurnUpright(TBitmap& bitmap, int orientation);
