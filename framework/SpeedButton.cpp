#include "framework/SpeedButton.h"

namespace {
// PSDPxax: the brush where the source is black, the destination where it is white.
constexpr DWORD kBrushThroughMask = 0x00B8074A;
}

TSpeedButton::TSpeedButton() { SetBounds(0, 0, 23, 22); }

void TSpeedButton::LoadGlyph(const char* resourceName) {
    glyph_.reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    mask_.reset();
    if (!glyph_) return;
    BITMAP info{};
    GetObjectA(glyph_.get(), sizeof info, &info);
    glyphWidth_ = info.bmWidth;
    glyphHeight_ = info.bmHeight;

    OwnedDC colour(CreateCompatibleDC(nullptr)), mono(CreateCompatibleDC(nullptr));
    SelectedObject glyph(colour.get(), glyph_.get());
    keyColour_ = GetPixel(colour.get(), 0, glyphHeight_ - 1);
    // Colour to monochrome: pixels of the background colour become 1, all others 0.
    mask_.reset(CreateBitmap(glyphWidth_, glyphHeight_, 1, 1, nullptr));
    SelectedObject mask(mono.get(), mask_.get());
    SetBkColor(colour.get(), keyColour_);
    BitBlt(mono.get(), 0, 0, glyphWidth_, glyphHeight_, colour.get(), 0, 0, SRCCOPY);
    Invalidate();
}

void TSpeedButton::SetPressed(bool value) {
    if (pressed_ == value) return;
    pressed_ = value;
    Repaint();
}

void TSpeedButton::MouseDown(int, int) {
    held_ = true;
    SetPressed(true);
}

void TSpeedButton::MouseMove(int x, int y) {
    if (held_) SetPressed(x >= 0 && y >= 0 && x < Width() && y < Height());
}

void TSpeedButton::MouseUp(int, int) {
    held_ = false;
    SetPressed(false);
}

void TSpeedButton::EnabledChanged() {
    held_ = false;
    pressed_ = false;
}

void TSpeedButton::DrawGlyph(HDC dc, int x, int y) {
    OwnedDC source(CreateCompatibleDC(dc));
    SelectedObject glyph(source.get(), glyph_.get());
    GdiTransparentBlt(dc, x, y, glyphWidth_, glyphHeight_, source.get(), 0, 0, glyphWidth_, glyphHeight_,
                      keyColour_);
}

void TSpeedButton::DrawEmbossed(HDC dc, int x, int y) {
    OwnedDC source(CreateCompatibleDC(dc));
    SelectedObject mask(source.get(), mask_.get());
    // A monochrome source gives the text colour for 0 and the background colour for 1.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    OwnedBrush highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    OwnedBrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    {
        SelectedObject brush(dc, highlight.get());
        BitBlt(dc, x + 1, y + 1, glyphWidth_, glyphHeight_, source.get(), 0, 0, kBrushThroughMask);
    }
    {
        SelectedObject brush(dc, shadow.get());
        BitBlt(dc, x, y, glyphWidth_, glyphHeight_, source.get(), 0, 0, kBrushThroughMask);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void TSpeedButton::Paint() {
    HDC dc = Canvas().Handle();
    RECT r{0, 0, Width(), Height()};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    if (!glyph_) return;
    int x = (Width() - glyphWidth_) / 2, y = (Height() - glyphHeight_) / 2;
    if (pressed_) {
        ++x;
        ++y;
    }
    if (Enabled()) DrawGlyph(dc, x, y);
    else if (mask_) DrawEmbossed(dc, x, y);
}
