#include "display/Label.h"
#include "framework/LayoutValues.h"
#include "graphics/GdiHandles.h"

TCustomLabel::TCustomLabel() {
    ControlStyle |= csOpaque | csReplicatable;
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (showAccelChar_ == value) return;
    showAccelChar_ = value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    if (Transparent() == value) return;
    if (value) ControlStyle &= ~csOpaque;
    else ControlStyle |= csOpaque;
    Invalidate();
}

void TCustomLabel::TextChanged() {
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::FontWasChanged() {
    Invalidate();
    AdjustBounds();
}

UINT TCustomLabel::TextFlags() const {
    static const UINT kAlignment[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | kAlignment[alignment_];
}

void TCustomLabel::DrawCaptionText(TRect& rect, UINT flags) {
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    if (UseRightToLeftAlignment()) {
        if (flags & DT_RIGHT) flags &= ~static_cast<UINT>(DT_RIGHT);
        else if (!(flags & DT_CENTER)) flags |= DT_RIGHT;
    }
    HDC dc = Canvas().Handle();
    SelectedObject font(dc, Font().Handle());
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    int length = static_cast<int>(text.size());
    if (Enabled()) {
        SetTextColor(dc, ColorToRGB(Font().Color));
        DrawTextA(dc, text.c_str(), length, &r, flags);
    } else {
        // Engraved: a highlight copy one pixel down and right, the shadow over it.
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), length, &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text.c_str(), length, &r, flags);
    }
    rect = Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomLabel::Paint() {
    HDC dc = Canvas().Handle();
    TRect client = ClientRect();
    if (!Transparent()) {
        OwnedBrush brush(CreateSolidBrush(ColorToRGB(Color())));
        RECT r{client.Left, client.Top, client.Right, client.Bottom};
        FillRect(dc, &r, brush.get());
    }
    // Text over the background without a box of its own.
    Canvas().Brush().Clear = true;
    Canvas().Brush().Changed();
    SetBkMode(dc, TRANSPARENT);
    UINT flags = TextFlags();
    TRect rect = client;
    if (layout_ != tlTop) {
        TRect measured = rect;
        DrawCaptionText(measured, flags | DT_CALCRECT);
        int32_t shift = Height() - measured.Bottom;
        if (layout_ == tlCenter) shift /= 2;
        rect.Top += shift;
        rect.Bottom += shift;
    }
    DrawCaptionText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
    if (Loading() || !autoSize_) return;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    TRect rect = ClientRect();
    Canvas().SetHandle(screen);
    try {
        DrawCaptionText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    } catch (...) {
        Canvas().SetHandle(nullptr);
        ReleaseDC(nullptr, screen);
        throw;
    }
    Canvas().SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
    TAlignment effective = alignment_;
    if (UseRightToLeftAlignment() && effective != taCenter)
        effective = effective == taLeftJustify ? taRightJustify : taLeftJustify;
    int32_t left = Left();
    if (effective == taRightJustify) left += Width() - rect.Right;
    SetBounds(left, Top(), rect.Right, rect.Bottom);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

bool TCustomLabel::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "Alignment")
        SetAlignment(static_cast<TAlignment>(LayoutEnum(value, {"taLeftJustify", "taRightJustify", "taCenter"})));
    else if (property == "Layout")
        SetLayout(static_cast<TTextLayout>(LayoutEnum(value, {"tlTop", "tlCenter", "tlBottom"})));
    else if (property == "AutoSize") SetAutoSize(LayoutBoolean(value));
    else if (property == "WordWrap") SetWordWrap(LayoutBoolean(value));
    else if (property == "ShowAccelChar") SetShowAccelChar(LayoutBoolean(value));
    else if (property == "Transparent") SetTransparent(LayoutBoolean(value));
    else return TGraphicControl::SetLayoutProperty(property, value);
    return true;
}
