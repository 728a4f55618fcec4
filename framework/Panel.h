// Panels: windowed controls that paint a bevelled frame, a border in their colour and a
// centred one-line caption, align their children and paint their windowless ones.
#pragma once
#include "framework/HintWindow.h"
#include "framework/Control.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TBorderStyle { bsNone, bsSingle };

class TCustomPanel : public TWinControl {
public:
    TCustomPanel();
    const char* ClassName() const noexcept override { return "TCustomPanel"; }

    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    int32_t BevelWidth = 1;
    int32_t BorderWidth = 0;
    TBorderStyle BorderStyle = bsNone;  // bsSingle: a sunken client edge
    // Painted into a memory bitmap first, so that the window never shows half a paint.
    bool DoubleBuffered = false;

    // A window that is not a control of this framework to live in, for a panel without a
    // parent control (the picture-open dialog's strip). Makes the panel's window there.
    void SetParentWindow(HWND parent);

    // The client rectangle shrunk by the border and each bevel that is not bvNone.
    TRect AlignArea() const override;
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateHandle() override;
    void TextChanged() override { Invalidate(); }
    void ColorChanged() override { Invalidate(); }
    // Paints the frame, interior and caption, then the windowless children, on `dc`.
    virtual void PaintWindow(HDC dc, const RECT& region);
    void PaintFrame(HDC dc);

private:
    void RouteMouse(UINT message, LPARAM lParam);

    HWND parentWindow_ = nullptr;
    TControl* mouseTarget_ = nullptr;
    HintTracker hints_;
};

class TPanel : public TCustomPanel {
public:
    const char* ClassName() const noexcept override { return "TPanel"; }
};
