// A windowless push button with a glyph and no caption: pressed while the left button is
// held on it, embossed when disabled, clicked on release over it.
#pragma once
#include "framework/Control.h"
#include "framework/ScreenScale.h"
#include "graphics/GdiHandles.h"

class TSpeedButton : public TGraphicControl {
public:
    TSpeedButton();
    const char* ClassName() const noexcept override { return "TSpeedButton"; }

    // Loads the glyph from the executable's bitmap resource `name`, at its size taken by
    // `scale` (enlarged with its edges kept crisp, graphics/bitmap/GlyphScale). The colour of
    // its bottom-left pixel is drawn transparent.
    void LoadGlyph(const char* resourceName, const TScreenScale& scale = TScreenScale{});
    HBITMAP Glyph() const { return glyph_.get(); }
    bool Pressed() const { return pressed_; }

    void MouseDown(int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(int x, int y) override;

protected:
    void Paint() override;
    void EnabledChanged() override;

private:
    void SetPressed(bool value);
    void DrawGlyph(HDC dc, int x, int y);
    void DrawEmbossed(HDC dc, int x, int y);

    OwnedBitmap glyph_;  // 32 bits, premultiplied by its coverage (0 where transparent)
    OwnedBitmap mask_;   // 1 (white) where the glyph is mostly transparent, 0 on its shape
    int glyphWidth_ = 0, glyphHeight_ = 0;
    int shift_ = 1;  // of the glyph while pressed, and of the embossed look's highlight
    bool held_ = false;     // the left button went down on the button and is still down
    bool pressed_ = false;  // held and the pointer is over the button
};
