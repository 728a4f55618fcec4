// The label: a windowless control that paints its caption, on an opaque background in its
// colour unless it is transparent.
#pragma once
#include "framework/Control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
public:
    TCustomLabel();
    const char* ClassName() const noexcept override { return "TCustomLabel"; }

    TWinControl* FocusControl = nullptr;
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // Transparent exactly when the opaque flag is clear.
    bool Transparent() const { return (ControlStyle & csOpaque) == 0; }
    void SetTransparent(bool value);

    // Draws the caption into `rect` with DrawTextA `flags` on the label's surface; with
    // DT_CALCRECT it measures instead and `rect` receives the measured extent.
    void DrawCaptionText(TRect& rect, UINT flags);
    // Sizes the label to its caption when AutoSize holds.
    void AdjustBounds();

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
    void Loaded() override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontWasChanged() override;

private:
    UINT TextFlags() const;

    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
public:
    const char* ClassName() const noexcept override { return "TLabel"; }
};
