#include "framework/Panel.h"
#include <algorithm>
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"

namespace {

void RegisterPanelClass(const char* className, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, className, &wc)) return;
    wc = WNDCLASSA{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

// A 3-D frame of `width` pixels: `topLeft` on the top and left edges, `bottomRight` on
// the others; `r` shrinks to what lies inside it.
void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
    OwnedBrush light(CreateSolidBrush(topLeft)), dark(CreateSolidBrush(bottomRight));
    for (int i = 0; i < width; ++i) {
        RECT top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
        RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &top, light.get());
        FillRect(dc, &left, light.get());
        FillRect(dc, &bottom, dark.get());
        FillRect(dc, &right, dark.get());
        InflateRect(&r, -1, -1);
    }
}

void Bevel(HDC dc, RECT& r, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    if (cut == bvRaised) Frame3D(dc, r, light, dark, width);
    else Frame3D(dc, r, dark, light, width);
}

}  // namespace

TCustomPanel::TCustomPanel() {
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetParentWindow(HWND parent) {
    if (hwnd_ && IsWindow(hwnd_) && GetParent(hwnd_) == parent) return;
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    parentWindow_ = parent;
    if (parent) Handle();
}

TRect TCustomPanel::AlignArea() const {
    TRect area = TWinControl::AlignArea();
    if (!hwnd_ && BorderStyle == bsSingle) area = Rect(2, 2, Width() - 2, Height() - 2);
    int inset = BorderWidth;
    if (BevelOuter != bvNone) inset += BevelWidth;
    if (BevelInner != bvNone) inset += BevelWidth;
    return Rect(area.Left + inset, area.Top + inset, area.Right - inset, area.Bottom - inset);
}

void TCustomPanel::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    TWinControl::SetBounds(left, top, width, height);
    AlignControls();
}

void TCustomPanel::CreateHandle() {
    HWND parent = Parent() ? Parent()->Handle() : parentWindow_;
    if (!parent) throw EInvalidOperation("コントロールに親ウィンドウがありません");
    RegisterPanelClass(ClassName(), &TWinControl::StandardWindowProc);
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0);
    const DWORD exStyle = BorderStyle == bsSingle ? WS_EX_CLIENTEDGE : 0;
    HWND created = CreateWindowExA(exStyle, ClassName(), "", style, Left(), Top(), Width(), Height(), parent,
                                  nullptr, GetModuleHandleA(nullptr), static_cast<TWinControl*>(this));
    if (!created) throw EOutOfResources("ウィンドウを作成できません");
    AlignControls();
    CreateChildHandles();
}

void TCustomPanel::PaintFrame(HDC dc) {
    RECT r;
    GetClientRect(hwnd_, &r);
    Bevel(dc, r, BevelOuter, BevelWidth);
    OwnedBrush face(CreateSolidBrush(ColorToRGB(Color())));
    // The border in the panel's own colour, then the inner bevel, then the interior.
    FillRect(dc, &r, face.get());
    InflateRect(&r, -BorderWidth, -BorderWidth);
    Bevel(dc, r, BevelInner, BevelWidth);
    FillRect(dc, &r, face.get());
    if (Caption().empty()) return;
    SelectedObject font(dc, Font().Handle());
    SIZE line{};
    GetTextExtentPoint32A(dc, "W", 1, &line);
    RECT text{r.left, (r.top + r.bottom - line.cy) / 2, r.right, 0};
    text.bottom = text.top + line.cy;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color));
    DrawTextA(dc, Caption().c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
}

void TCustomPanel::PaintWindow(HDC dc, const RECT& region) {
    PaintFrame(dc);
    PaintControls(dc, region);
}

void TCustomPanel::RouteMouse(UINT message, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    auto inside = [&p](TControl* c) {
        TRect b = c->BoundsRect();
        return p.x >= b.Left && p.x < b.Right && p.y >= b.Top && p.y < b.Bottom;
    };
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseTarget_ = ControlAtPos(p);
        if (!mouseTarget_) return;
        SetCapture(hwnd_);
        mouseTarget_->MouseDown(p.x - mouseTarget_->Left(), p.y - mouseTarget_->Top());
        if (message == WM_LBUTTONDBLCLK) mouseTarget_->DblClick();
        return;
    case WM_MOUSEMOVE:
        if (mouseTarget_) mouseTarget_->MouseMove(p.x - mouseTarget_->Left(), p.y - mouseTarget_->Top());
        return;
    case WM_LBUTTONUP: {
        TControl* target = mouseTarget_;
        mouseTarget_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
        if (!target) return;
        target->MouseUp(p.x - target->Left(), p.y - target->Top());
        if (inside(target) && target->Enabled()) target->Click();
        return;
    }
    default:
        return;
    }
}

LRESULT TCustomPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        struct End {
            HWND w;
            PAINTSTRUCT& ps;
            ~End() { EndPaint(w, &ps); }
        } end{hwnd_, ps};
        if (!DoubleBuffered) {
            PaintWindow(dc, ps.rcPaint);
            return 0;
        }
        RECT client;
        GetClientRect(hwnd_, &client);
        OwnedDC memory(CreateCompatibleDC(dc));
        OwnedBitmap buffer(CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)));
        if (!memory || !buffer) {
            PaintWindow(dc, ps.rcPaint);
            return 0;
        }
        SelectedObject selected(memory.get(), buffer.get());
        PaintWindow(memory.get(), client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        return 0;
    }
    case WM_SIZE: {
        RECT r;
        GetWindowRect(hwnd_, &r);
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        AlignControls();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        hints_.MouseMessage(*this, message, lParam);
        RouteMouse(message, lParam);
        return 0;
    case WM_TIMER:
        hints_.Timer(*this, wParam);
        return 0;
    case WM_DESTROY:
        // The window goes with its timer and mouse tracking (the dialog that holds it closed,
        // perhaps from the keyboard with the pointer resting on a control): a control still
        // counted as under the pointer would keep the next window from ever showing its hint.
        hints_ = HintTracker();
        break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        if (mouseTarget_) {
            TControl* target = mouseTarget_;
            mouseTarget_ = nullptr;
            target->MouseUp(-1, -1);
        }
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}
