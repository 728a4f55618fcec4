// The drawing surface: a device context with its font, pen, brush and copy mode. Before
// drawing it makes the device context and the objects it needs ready; after drawing it
// sends its change notification.
#pragma once
#include <windows.h>
#include <string>
#include "graphics/Graphic.h"
#include "rtl/Object.h"

class TGraphic;

// Colours as the framework stores them: a COLORREF, or a system colour with the high bit set.
using TColor = int32_t;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clBtnFace = static_cast<TColor>(0x80000000u | COLOR_BTNFACE);
constexpr TColor clWindowText = static_cast<TColor>(0x80000000u | COLOR_WINDOWTEXT);
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description; Handle() realises it (CreateFontIndirectA) and keeps it until a change.
class TFont : public TPersistent {
public:
    TFont() = default;
    TFont(const TFont&) = delete;  // the realised handle has one owner; use CopyFrom
    TFont& operator=(const TFont&) = delete;
    ~TFont() override;
    const char* ClassName() const noexcept override { return "TFont"; }
    HFONT Handle();
    std::string Name = "ＭＳ Ｐゴシック";
    BYTE Charset = SHIFTJIS_CHARSET;
    TColor Color = clWindowText;
    int32_t Height = -12;
    unsigned Style = 0;  // TFontStyle bits
    void Changed();      // call after changing a field: drops the realised font
    void CopyFrom(TPersistent* source) override;
    // Called by Changed before the realised font is dropped (a surface deselects it).
    TNotifyEvent OnChange;

private:
    HFONT handle_ = nullptr;
};

class TPen : public TPersistent {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;
    ~TPen() override;
    const char* ClassName() const noexcept override { return "TPen"; }
    HPEN Handle();
    TColor Color = clBlack;
    int Width = 1;
    int Style = PS_SOLID;
    void Changed();
    void CopyFrom(TPersistent* source) override;
    TNotifyEvent OnChange;

private:
    HPEN handle_ = nullptr;
};

class TBrush : public TPersistent {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    ~TBrush() override;
    const char* ClassName() const noexcept override { return "TBrush"; }
    HBRUSH Handle();
    TColor Color = clWhite;
    bool Clear = false;  // hollow brush (BS_HOLLOW)
    void Changed();
    void CopyFrom(TPersistent* source) override;
    TNotifyEvent OnChange;

private:
    HBRUSH handle_ = nullptr;
};

class TCanvas : public TPersistent {
public:
    TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas() override;
    const char* ClassName() const noexcept override { return "TCanvas"; }

    // The device context; made on demand by CreateHandle. Fails with EInvalidOperation
    // ("Canvas に対する描画ができません") when no context can be had.
    HDC Handle();
    void SetHandle(HDC dc);  // selects the surface's objects out of the old context first
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    DWORD CopyMode = SRCCOPY;

    // Nothing for no graphic; otherwise the graphic's DrawStretched into `rect`.
    void StretchGraphic(const TRect& rect, TGraphic* graphic);
    void FillRect(const TRect& rect);
    // The graphic at its own size with its top left at (x, y).
    void Draw(int x, int y, TGraphic* graphic);
    // Copies `source`'s rectangle stretched into `dest` with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    void TextOut(int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    void Rectangle(const TRect& rect);

    // Change notifications around every drawing operation.
    virtual void Changing();
    virtual void Changed();
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    enum State : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8,
                            csAllValid = 15 };
    // Makes sure the context and the named objects are selected.
    void RequiredState(unsigned state);

protected:
    // Surfaces that make their own context override this; the default has none to make.
    virtual void CreateHandle();
    void DeselectHandles();

private:
    void SelectFont();
    void SelectPen();
    void SelectBrush();

    HDC dc_ = nullptr;
    unsigned state_ = 0;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
};
