// How whatever was designed in pixels for a 96 dpi screen follows the screen's resolution.
// A stored layout goes by the ratio of text heights: its font's height by the ratio of the
// resolutions, then places and sizes by the text height that font now has over the one it
// had when it was designed. With the design's face ("ＭＳ Ｐゴシック", whose line is as
// tall as its height) that is the ratio of the resolutions itself: 1.25, 1.5 and 2 at 120,
// 144 and 192 dpi. What the program builds in code goes by that ratio directly, so that it
// grows as the system's own dialogs and fonts do even where another face stands in for the
// design's and does not grow in step (IPA P Gothic's line is 13 pixels at height 12 and 20
// at 18: a layout scaled by it comes out 5/3 as large at 144 dpi).
#pragma once
#include <windows.h>
#include <cstdint>

class TFont;

// Height of a line of text ("0") in `font` on the screen; 0 without a screen.
int MeasureTextHeight(TFont& font);

// Lengths by Numerator over Denominator, rounded (1 : 1 when either is not positive).
struct TScreenScale {
    int32_t Numerator = 1, Denominator = 1;
    bool Unscaled() const { return Numerator <= 0 || Denominator <= 0 || Numerator == Denominator; }
    int32_t operator()(int32_t designed) const {
        return Unscaled() ? designed : MulDiv(designed, Numerator, Denominator);
    }
};

// A layout's scale: `font`, already at its screen height, against `designedTextHeight`.
TScreenScale ScaleOfFont(TFont& font, int32_t designedTextHeight);
// Designed at `designedPixelsPerInch`, shown on a screen of `screenPixelsPerInch`.
TScreenScale ScaleOfResolution(int screenPixelsPerInch, int designedPixelsPerInch = 96);

// For what is built in code: the screen's resolution over 96.
TScreenScale ScreenScale();
// The design's font ("ＭＳ Ｐゴシック" at height -12 on a 96 dpi screen) on this screen.
constexpr int32_t kDesignFontHeight = -12;
int32_t ScreenFontHeight();
