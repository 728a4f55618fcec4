// Controls: the windowless graphic controls that their parent window paints, and the
// windowed controls that are child windows of their own.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "framework/Component.h"
#include "graphics/Canvas.h"

class TWinControl;
class TForm;

// Control-style flags.
enum TControlStyle : unsigned {
    csOpaque = 1u,        // covers its whole bounds: the parent need not erase beneath it
    csReplicatable = 2u,  // kept for compatibility; has no effect here
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

class TControl : public TComponent {
public:
    TControl();
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    const char* ClassName() const noexcept override { return "TControl"; }

    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    TRect BoundsRect() const { return Rect(left_, top_, left_ + width_, top_ + height_); }
    TRect ClientRect() const { return Rect(0, 0, width_, height_); }

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);
    // The form this control lies on (itself for a form), or none.
    TForm* ParentForm() const;

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // Call after changing Font's fields.
    void FontChanged();
    bool ParentFont() const { return parentFont_; }
    TAlign Align = alNone;
    TBiDiMode BiDiMode = bdLeftToRight;
    bool UseRightToLeftAlignment() const { return BiDiMode == bdRightToLeft; }
    bool UseRightToLeftReading() const { return BiDiMode != bdLeftToRight; }

    unsigned ControlStyle = 0;  // TControlStyle bits
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    virtual void Click();
    virtual void DblClick();
    // The left mouse button on a windowless control, in its own coordinates; the parent
    // routes them (and holds the capture between press and release).
    virtual void MouseDown(int x, int y) {}
    virtual void MouseMove(int x, int y) {}
    virtual void MouseUp(int x, int y) {}

    // The tooltip the application shows while the pointer rests on the control.
    std::string Hint;
    bool ShowHint = false;

    // Repaint request: marks the bounds on the parent for painting.
    virtual void Invalidate();
    // Paints what is pending on the parent at once.
    void Update();
    // Invalidate, then Update.
    virtual void Repaint();

    virtual bool IsWindowed() const { return false; }
    virtual HPALETTE Palette() const { return nullptr; }

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
    bool SetLayoutEvent(const std::string& event, const TNotifyEvent& handler) override;
    void Loaded() override;

protected:
    virtual void BoundsChanged() {}
    virtual void TextChanged() {}
    virtual void FontWasChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void ColorChanged() { Invalidate(); }
    // Takes the parent's font while ParentFont holds.
    void AdoptParentFont();

    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    friend class TWinControl;  // a dying parent unlinks its children
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    TColor color_ = clBtnFace;
    TFont font_;
    bool parentFont_ = true;
};

// A control without a window: its parent paints it on the parent's own surface.
class TGraphicControl : public TControl {
public:
    TGraphicControl();
    ~TGraphicControl() override;
    const char* ClassName() const noexcept override { return "TGraphicControl"; }

    // The drawing surface; it has a device context only while the control paints.
    TCanvas& Canvas() { return *canvas_; }

    // Paints on `dc`, whose origin the caller has moved to the control's top left and
    // whose clipping it has limited to the control's bounds.
    void PaintOn(HDC dc);
    // Paints the control at once on its parent's window, outside the parent's painting.
    void PaintNow();

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A control with a window of its own; it may hold other controls.
class TWinControl : public TControl {
public:
    ~TWinControl() override;
    const char* ClassName() const noexcept override { return "TWinControl"; }

    // The window, made on first use.
    HWND Handle();
    HWND WindowHandle() const { return hwnd_; }
    bool HandleAllocated() const { return hwnd_ != nullptr; }
    bool IsWindowed() const override { return true; }

    // Controls in list order (creation order): later ones paint over earlier ones.
    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // Repaint request for a child: erases the background first unless the child is
    // opaque, this control is, or an opaque visible control earlier in the list covers it.
    void InvalidateControl(TControl* control);
    bool EraseNeededFor(const TControl* control) const;
    // Paints the visible graphic controls meeting `region`, first to last.
    void PaintControls(HDC dc, const RECT& region);
    // The last visible, enabled graphic control in list order that contains `point`.
    TControl* ControlAtPos(POINT point) const;

    // Observes every repaint request this control makes for a child (with its erase flag).
    std::function<void(TControl* control, bool erase)> OnRepaintRequest;

    int32_t TabOrder = -1;
    bool TabStop = false;

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void Invalidate() override;

    // Called by the window procedures; answers the message's result.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Places the aligned children (alTop first, in list order, then alClient) in AlignArea.
    void AlignControls();
    // Where aligned children go, in client coordinates.
    virtual TRect AlignArea() const;

protected:
    virtual void CreateHandle() = 0;
    // For windows of our own classes: stores `this` with the window.
    void AttachWindow(HWND window);
    void DetachWindow() { hwnd_ = nullptr; }
    // Makes the child windows of the windowed controls, in tab order.
    void CreateChildHandles();
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The procedure of the window classes the framework registers; it keeps every error
    // inside (handing it to the application's ShowError).
    static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;

private:
    std::vector<TControl*> controls_;
};
