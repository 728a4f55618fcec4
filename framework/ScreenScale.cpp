#include "framework/ScreenScale.h"
#include "graphics/Canvas.h"
#include "graphics/GdiHandles.h"
#include "graphics/GraphicsModule.h"

int MeasureTextHeight(TFont& font) {
    WindowDC screen;
    if (!screen) return 0;
    SelectedObject selected(screen.get(), font.Handle());
    SIZE size{};
    GetTextExtentPoint32A(screen.get(), "0", 1, &size);
    return size.cy;
}

TScreenScale ScaleOfFont(TFont& font, int32_t designedTextHeight) {
    return TScreenScale{MeasureTextHeight(font), designedTextHeight};
}

TScreenScale ScaleOfResolution(int screenPixelsPerInch, int designedPixelsPerInch) {
    return TScreenScale{screenPixelsPerInch, designedPixelsPerInch};
}

TScreenScale ScreenScale() { return ScaleOfResolution(ScreenLogPixels()); }

int32_t ScreenFontHeight() { return ScreenScale()(kDesignFontHeight); }
