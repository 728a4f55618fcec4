#include "graphics/Canvas.h"
#include <cstring>
#include "graphics/GdiHandles.h"
#include "graphics/Graphic.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

// ---- TFont ----

TFont::~TFont() {
    if (handle_) DeleteObject(handle_);
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTA font = {};
        font.lfHeight = Height;
        font.lfWeight = (Style & fsBold) ? FW_BOLD : FW_NORMAL;
        font.lfItalic = (Style & fsItalic) ? 1 : 0;
        font.lfUnderline = (Style & fsUnderline) ? 1 : 0;
        font.lfStrikeOut = (Style & fsStrikeOut) ? 1 : 0;
        font.lfCharSet = Charset;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily = DEFAULT_PITCH;
        std::strncpy(font.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
        handle_ = GdiCheck(CreateFontIndirectA(&font));
    }
    return handle_;
}

void TFont::Changed() {
    // Whoever has the font selected lets go of it before it is deleted.
    if (OnChange) OnChange(this);
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
}

void TFont::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TFont*>(source)) {
        Name = other->Name;
        Charset = other->Charset;
        Color = other->Color;
        Height = other->Height;
        Style = other->Style;
        Changed();
        return;
    }
    TPersistent::CopyFrom(source);
}

// ---- TPen ----

TPen::~TPen() {
    if (handle_) DeleteObject(handle_);
}

HPEN TPen::Handle() {
    if (!handle_) handle_ = GdiCheck(CreatePen(Style, Width, ColorToRGB(Color)));
    return handle_;
}

void TPen::Changed() {
    if (OnChange) OnChange(this);
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
}

void TPen::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TPen*>(source)) {
        Color = other->Color;
        Width = other->Width;
        Style = other->Style;
        Changed();
        return;
    }
    TPersistent::CopyFrom(source);
}

// ---- TBrush ----

TBrush::~TBrush() {
    if (handle_) DeleteObject(handle_);
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        LOGBRUSH brush = {};
        brush.lbStyle = Clear ? BS_HOLLOW : BS_SOLID;
        brush.lbColor = ColorToRGB(Color);
        handle_ = GdiCheck(CreateBrushIndirect(&brush));
    }
    return handle_;
}

void TBrush::Changed() {
    if (OnChange) OnChange(this);
    if (handle_) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
}

void TBrush::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TBrush*>(source)) {
        Color = other->Color;
        Clear = other->Clear;
        Changed();
        return;
    }
    TPersistent::CopyFrom(source);
}

// ---- TCanvas ----

TCanvas::TCanvas() {
    // A changed object is taken out of the context before it is deleted; the next drawing
    // selects its new form.
    font_.OnChange = [this](TObject*) {
        if (dc_ && (state_ & csFontValid)) {
            SelectObject(dc_, oldFont_);
            oldFont_ = nullptr;
            state_ &= ~csFontValid;
        }
    };
    pen_.OnChange = [this](TObject*) {
        if (dc_ && (state_ & csPenValid)) {
            SelectObject(dc_, oldPen_);
            oldPen_ = nullptr;
            state_ &= ~csPenValid;
        }
    };
    brush_.OnChange = [this](TObject*) {
        if (dc_ && (state_ & csBrushValid)) {
            SelectObject(dc_, oldBrush_);
            oldBrush_ = nullptr;
            state_ &= ~csBrushValid;
        }
    };
}

TCanvas::~TCanvas() {
    if (dc_) DeselectHandles();
    font_.OnChange = nullptr;
    pen_.OnChange = nullptr;
    brush_.OnChange = nullptr;
}

HDC TCanvas::Handle() {
    RequiredState(csHandleValid);
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc_ == dc) return;
    if (dc_) {
        DeselectHandles();
        dc_ = nullptr;
        state_ = 0;
    }
    if (dc) {
        dc_ = dc;
        state_ = csHandleValid;
    }
}

void TCanvas::CreateHandle() {}

void TCanvas::RequiredState(unsigned state) {
    if (state & csAllValid) state |= csHandleValid;
    unsigned needed = state & ~state_;
    if (!needed) return;
    if (needed & csHandleValid) {
        CreateHandle();
        if (!dc_) throw EInvalidOperation(LoadResString(res::SNoCanvasHandle));
        needed &= ~state_;  // CreateHandle may have made more ready (SetHandle resets the rest)
    }
    if (needed & csFontValid) SelectFont();
    if (needed & csPenValid) SelectPen();
    if (needed & csBrushValid) SelectBrush();
    state_ |= needed;
}

void TCanvas::SelectFont() {
    HGDIOBJ old = SelectObject(dc_, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    SetTextColor(dc_, ColorToRGB(font_.Color));
}

void TCanvas::SelectPen() {
    HGDIOBJ old = SelectObject(dc_, pen_.Handle());
    if (!oldPen_) oldPen_ = old;
    SetROP2(dc_, R2_COPYPEN);
}

void TCanvas::SelectBrush() {
    HBRUSH brush = brush_.Handle();
    UnrealizeObject(brush);
    HGDIOBJ old = SelectObject(dc_, brush);
    if (!oldBrush_) oldBrush_ = old;
    if (brush_.Clear) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkColor(dc_, ColorToRGB(brush_.Color));
        SetBkMode(dc_, OPAQUE);
    }
}

void TCanvas::DeselectHandles() {
    if (dc_ && (state_ & (csFontValid | csPenValid | csBrushValid))) {
        if (oldFont_) SelectObject(dc_, oldFont_);
        if (oldPen_) SelectObject(dc_, oldPen_);
        if (oldBrush_) SelectObject(dc_, oldBrush_);
        state_ &= ~(csFontValid | csPenValid | csBrushValid);
    }
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::StretchGraphic(const TRect& rect, TGraphic* graphic) {
    if (!graphic) return;
    Changing();
    RequiredState(csAllValid);
    graphic->DrawStretched(*this, rect);
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->IsEmpty()) return;
    StretchGraphic(Rect(x, y, x + graphic->Width(), y + graphic->Height()), graphic);
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    RECT r = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    ::FillRect(dc_, &r, brush_.Handle());
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    HDC from = source.Handle();
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), from, sourceRect.Left, sourceRect.Top,
               sourceRect.Width(), sourceRect.Height(), CopyMode);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    Changed();
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequiredState(csHandleValid | csFontValid);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Rectangle(const TRect& rect) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
    Changed();
}
