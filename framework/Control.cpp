#include "framework/Control.h"
#include <algorithm>
#include <exception>
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/LayoutValues.h"
#include "framework/MessageLevels.h"
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"

// ---- TControl ----

TControl::TControl() = default;

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();  // the old place
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();  // the new one
    BoundsChanged();
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent) parent->InsertControl(this);
    if (parentFont_) AdoptParentFont();
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    if (!value) Invalidate();
    visible_ = value;
    if (value) Invalidate();
    VisibleChanged();
}

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    EnabledChanged();
    Invalidate();
}

void TControl::SetCaption(const std::string& value) {
    if (caption_ == value) return;
    caption_ = value;
    TextChanged();
}

void TControl::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    ColorChanged();
}

void TControl::FontChanged() {
    font_.Changed();
    FontWasChanged();
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (TControl* child : self->Controls())
            if (child->parentFont_) child->AdoptParentFont();
}

void TControl::AdoptParentFont() {
    if (!parent_) return;
    font_.CopyFrom(&parent_->Font());
    font_.Changed();
    FontWasChanged();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::Invalidate() {
    if (parent_ && !Loading()) parent_->InvalidateControl(this);
}

void TControl::Update() {
    if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->WindowHandle());
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

bool TControl::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "Left") SetBounds(LayoutInteger(value), top_, width_, height_);
    else if (property == "Top") SetBounds(left_, LayoutInteger(value), width_, height_);
    else if (property == "Width") SetBounds(left_, top_, LayoutInteger(value), height_);
    else if (property == "Height") SetBounds(left_, top_, width_, LayoutInteger(value));
    else if (property == "Caption") SetCaption(value);
    else if (property == "Visible") SetVisible(LayoutBoolean(value));
    else if (property == "Enabled") SetEnabled(LayoutBoolean(value));
    else if (property == "Color") SetColor(LayoutColor(value));
    else if (property == "ParentColor") {
        if (LayoutBoolean(value) && parent_) SetColor(parent_->Color());
    } else if (property == "Font.Name" || property == "Font.Charset" || property == "Font.Color" ||
               property == "Font.Height" || property == "Font.Style") {
        if (property == "Font.Name") font_.Name = value;
        else if (property == "Font.Charset") font_.Charset = LayoutCharset(value);
        else if (property == "Font.Color") font_.Color = LayoutColor(value);
        else if (property == "Font.Height") font_.Height = LayoutInteger(value);
        else font_.Style = LayoutFontStyle(value);
        parentFont_ = false;
        FontChanged();
    } else if (property == "ParentFont") {
        parentFont_ = LayoutBoolean(value);
        if (parentFont_) AdoptParentFont();
    } else if (property == "BiDiMode") {
        BiDiMode = static_cast<TBiDiMode>(LayoutEnum(
            value, {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}));
    } else if (property == "ParentBiDiMode") {
        LayoutBoolean(value);  // every control here reads left to right
    } else if (property == "Align") {
        Align = static_cast<TAlign>(LayoutEnum(value, {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}));
    } else {
        return false;
    }
    return true;
}

bool TControl::SetLayoutEvent(const std::string& event, const TNotifyEvent& handler) {
    if (event != "OnClick") return false;
    OnClick = handler;
    return true;
}

void TControl::Loaded() {
    TComponent::Loaded();
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl() : canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintOn(HDC dc) {
    // A paint from inside a paint (a picture showing its rows while it decodes) hands the
    // outer paint its context back.
    HDC outer = canvas_->HandleAllocated() ? canvas_->Handle() : nullptr;
    canvas_->SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(outer);
        throw;
    }
    canvas_->SetHandle(outer);
}

namespace {

// Moves the origin to the control's top left and clips to its bounds; paints; restores.
void PaintControlAt(TGraphicControl& control, HDC dc) {
    SavedDCState saved(dc);
    OffsetViewportOrgEx(dc, control.Left(), control.Top(), nullptr);
    IntersectClipRect(dc, 0, 0, control.Width(), control.Height());
    control.PaintOn(dc);
}

}  // namespace

void TGraphicControl::PaintNow() {
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated() || !Visible()) return;
    WindowDC dc(parent->WindowHandle());
    if (!dc.get()) RaiseOutOfResources();
    PaintControlAt(*this, dc.get());
}

// ---- TWinControl ----

TWinControl::~TWinControl() {
    // Children usually go first (the form destroys its components); any still here are
    // unlinked so that they never reach back into a destroyed parent.
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
}

HWND TWinControl::Handle() {
    if (!hwnd_) CreateHandle();
    return hwnd_;
}

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

namespace {

bool Covers(const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

bool TWinControl::EraseNeededFor(const TControl* control) const {
    if ((control->ControlStyle & csOpaque) || (ControlStyle & csOpaque)) return false;
    TRect bounds = control->BoundsRect();
    for (const TControl* c : controls_) {
        if (c == control) break;
        if (!c->IsWindowed() && c->Visible() && (c->ControlStyle & csOpaque) && Covers(c->BoundsRect(), bounds))
            return false;
    }
    return true;
}

void TWinControl::InvalidateControl(TControl* control) {
    if (!hwnd_ || !control->Visible()) return;
    RECT r = ToRECT(control->BoundsRect());
    bool erase = EraseNeededFor(control);
    InvalidateRect(hwnd_, &r, erase ? TRUE : FALSE);
    if (OnRepaintRequest) OnRepaintRequest(control, erase);
}

void TWinControl::PaintControls(HDC dc, const RECT& region) {
    // The region counts as painted whatever happens, so one control's failure must not
    // leave the controls after it blank: they are painted, then the first error passes on.
    std::exception_ptr firstError;
    for (TControl* c : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(c);
        if (!graphic || !graphic->Visible()) continue;
        RECT bounds = ToRECT(graphic->BoundsRect()), common;
        if (!IntersectRect(&common, &bounds, &region)) continue;
        try {
            PaintControlAt(*graphic, dc);
        } catch (...) {
            if (!firstError) firstError = std::current_exception();
        }
    }
    if (firstError) std::rethrow_exception(firstError);
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->Visible() || !c->Enabled()) continue;
        TRect b = c->BoundsRect();
        if (point.x >= b.Left && point.x < b.Right && point.y >= b.Top && point.y < b.Bottom) return c;
    }
    return nullptr;
}

bool TWinControl::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "TabOrder") {
        TabOrder = LayoutInteger(value);
        return true;
    }
    if (property == "TabStop") {
        TabStop = LayoutBoolean(value);
        return true;
    }
    return TControl::SetLayoutProperty(property, value);
}

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (hwnd_) MoveWindow(hwnd_, left, top, width, height, TRUE);
    BoundsChanged();
}

TRect TWinControl::AlignArea() const {
    if (hwnd_) {
        RECT r;
        GetClientRect(hwnd_, &r);
        return Rect(r.left, r.top, r.right, r.bottom);
    }
    return ClientRect();
}

void TWinControl::AlignControls() {
    TRect area = AlignArea();
    // Copied: a child's new bounds may realign its own children, never this list.
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) {
        if (c->Align != alTop || !c->Visible()) continue;
        c->SetBounds(area.Left, area.Top, area.Right - area.Left, c->Height());
        area.Top += c->Height();
    }
    for (TControl* c : children) {
        if (c->Align != alClient || !c->Visible()) continue;
        c->SetBounds(area.Left, area.Top, std::max(0, area.Right - area.Left), std::max(0, area.Bottom - area.Top));
    }
}

void TWinControl::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::AttachWindow(HWND window) {
    hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TWinControl::CreateChildHandles() {
    std::vector<TWinControl*> windowed;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) windowed.push_back(w);
    // The z-order of child windows is their tab order.
    std::stable_sort(windowed.begin(), windowed.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder < b->TabOrder; });
    for (TWinControl* w : windowed) w->Handle();
}

LRESULT TWinControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT TWinControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (auto* self = static_cast<TWinControl*>(create->lpCreateParams)) self->AttachWindow(window);
    }
    auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    {
        WindowMessageLevel level;
        try {
            result = self->WindowProc(message, wParam, lParam);
        } catch (...) {
            Application().HandleException();
            result = 0;
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->DetachWindow();
    }
    return result;
}
