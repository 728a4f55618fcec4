// What the bitmap tests share: loading bytes into a TBitmap (HostileLoads.h), and a 24-bit section with a
// drawing surface on it whose pixels can be read back.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/Canvas.h"
#include "graphics/GdiHandles.h"
#include "support/DibSurface.h"
#include "rtl/Streams.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/HostileLoads.h"

inline samples::Bytes SavedBytes(TGraphic& graphic) {
    TMemoryStream stream;
    graphic.WriteToStream(stream);
    return samples::Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

// What the bitmap tests' 24-bit surfaces are filled with unless told otherwise: a colour no
// sample uses.
constexpr COLORREF kUnused = RGB(1, 2, 3);

// Draws the bitmap at its own size at (0, 0).
inline void DrawAtOwnSize(DibSurface& surface, TBitmap& bitmap) {
    surface.Canvas().StretchGraphic(Rect(0, 0, bitmap.Width(), bitmap.Height()), &bitmap);
}

// The bitmap drawn at its own size on a fresh surface the picture's size, compared pixel by pixel.
inline ::testing::AssertionResult DrawsAs(TBitmap& bitmap, const samples::Picture& want) {
    DibSurface surface(want.width, want.height, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    return surface.Read().Shows(PixelsOf(want));
}

using samples::FormOf;
