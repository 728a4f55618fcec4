#include "framework/SpeedButton.h"
#include <algorithm>
#include <vector>
#include "graphics/bitmap/DibSupport.h"
#include "graphics/bitmap/GlyphScale.h"

namespace {
// PSDPxax: the brush where the source is black, the destination where it is white.
constexpr DWORD kBrushThroughMask = 0x00B8074A;
}

TSpeedButton::TSpeedButton() { SetBounds(0, 0, 23, 22); }

namespace {

// A top-down 32-bit DIB of `width` x `height`.
BITMAPINFO Info32(LONG width, LONG height) {
    BITMAPINFO bi{};
    bi.bmiHeader = Header32(width, -height);
    return bi;
}

// The pixels of `bitmap`, top row first, as 32-bit 0x00RRGGBB values.
glyph::Image PixelsOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    glyph::Image image{uint32_t(info.bmWidth), uint32_t(info.bmHeight), {}};
    image.pixels.resize(size_t(image.width) * image.height);
    BITMAPINFO bi = Info32(info.bmWidth, info.bmHeight);
    WindowDC screen;
    if (!GetDIBits(screen.get(), bitmap, 0, image.height, image.pixels.data(), &bi, DIB_RGB_COLORS))
        image.pixels.clear();
    return image;
}

}  // namespace

void TSpeedButton::LoadGlyph(const char* resourceName, const TScreenScale& scale) {
    glyph_.reset();
    mask_.reset();
    glyphWidth_ = glyphHeight_ = 0;
    OwnedBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!loaded) return;
    const glyph::Image source = PixelsOf(loaded.get());
    if (source.pixels.empty()) return;
    const glyph::Image shown = glyph::Scaled(source, source.pixels[size_t(source.height - 1) * source.width],
                                             uint32_t(std::max(scale(int32_t(source.width)), int32_t(source.width))),
                                             uint32_t(std::max(scale(int32_t(source.height)), int32_t(source.height))));
    glyphWidth_ = int(shown.width);
    glyphHeight_ = int(shown.height);
    shift_ = std::max(scale(1), 1);

    BITMAPINFO bi = Info32(glyphWidth_, glyphHeight_);
    void* bits = nullptr;
    glyph_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!glyph_ || !bits) {
        glyph_.reset();
        return;
    }
    std::copy(shown.pixels.begin(), shown.pixels.end(), static_cast<uint32_t*>(bits));
    // The shape for the embossed look: what is at least half covered.
    const int rowBytes = (glyphWidth_ + 15) / 16 * 2;
    std::vector<uint8_t> maskBits(size_t(rowBytes) * glyphHeight_, 0);
    for (int y = 0; y < glyphHeight_; ++y)
        for (int x = 0; x < glyphWidth_; ++x)
            if ((shown.pixels[size_t(y) * glyphWidth_ + x] >> 24) < 128)
                maskBits[size_t(y) * rowBytes + x / 8] |= uint8_t(0x80 >> (x % 8));
    mask_.reset(CreateBitmap(glyphWidth_, glyphHeight_, 1, 1, maskBits.data()));
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
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, glyphWidth_, glyphHeight_, source.get(), 0, 0, glyphWidth_, glyphHeight_, blend);
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
        BitBlt(dc, x + shift_, y + shift_, glyphWidth_, glyphHeight_, source.get(), 0, 0, kBrushThroughMask);
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
        x += shift_;
        y += shift_;
    }
    if (Enabled()) DrawGlyph(dc, x, y);
    else if (mask_) DrawEmbossed(dc, x, y);
}
