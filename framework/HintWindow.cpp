#include "framework/HintWindow.h"
#include "framework/Application.h"
#include "framework/Control.h"
#include "framework/ScreenScale.h"
#include "graphics/GdiHandles.h"

namespace {

const char kHintClass[] = "THintWindow";
constexpr UINT kHintPauseMs = 500;

void RegisterHintClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, kHintClass, &wc)) return;
    wc = WNDCLASSA{};
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window below
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = kHintClass;
    RegisterClassA(&wc);
}

}  // namespace

THintWindow::~THintWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
}

void THintWindow::ActivateHint(const std::string& text, POINT at) {
    if (!hwnd_) {
        RegisterHintClass();
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kHintClass, "", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!hwnd_) return;
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    }
    if (!font_) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            font_ = CreateFontIndirectA(&metrics.lfStatusFont);
    }
    text_ = text;
    SetWindowTextA(hwnd_, text_.c_str());  // what accessibility tools (and tests) read
    RECT extent{0, 0, 0, 0};
    {
        WindowDC screen;
        SelectedObject selected(screen.get(), font_);
        DrawTextA(screen.get(), text_.c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX);
    }
    // The font is the system's, sized for the screen already; the margins around it follow too.
    const TScreenScale scale = ScreenScale();
    const int width = extent.right + scale(8), height = extent.bottom + scale(4);
    SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
}

void THintWindow::Hide() {
    if (hwnd_ && IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
}

void THintWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    OwnedBrush brush(CreateSolidBrush(GetSysColor(COLOR_INFOBK)));
    FillRect(dc, &client, brush.get());
    SelectedObject selected(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT text = client;
    const TScreenScale scale = ScreenScale();
    InflateRect(&text, -scale(3), -scale(1));
    DrawTextA(dc, text_.c_str(), -1, &text, DT_LEFT | DT_NOPREFIX);
}

LRESULT CALLBACK THintWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        self->Paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    if (self && message == WM_NCDESTROY) self->hwnd_ = nullptr;
    if (message == WM_NCHITTEST) return HTTRANSPARENT;  // clicks go to what lies beneath
    return DefWindowProcA(window, message, wParam, lParam);
}

void HintTracker::MouseMessage(TWinControl& owner, UINT message, LPARAM lParam) {
    if (!ApplicationExists() || !owner.HandleAllocated()) return;
    HWND window = owner.WindowHandle();
    if (message == WM_MOUSEMOVE) {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        TControl* under = owner.ControlAtPos(p);
        if (under && (!under->ShowHint || under->Hint.empty())) under = nullptr;
        if (under == pending_) return;
        Application().HideHint();
        pending_ = under;
        KillTimer(window, kTimerId);
        if (under) {
            SetTimer(window, kTimerId, kHintPauseMs, nullptr);
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
        }
        return;
    }
    // Leaving the window or pressing a button ends the hint.
    if (message == WM_MOUSELEAVE || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
        message == WM_LBUTTONDBLCLK) {
        pending_ = nullptr;
        KillTimer(window, kTimerId);
        Application().HideHint();
    }
}

void HintTracker::Timer(TWinControl& owner, WPARAM id) {
    if (id != kTimerId || !owner.HandleAllocated()) return;
    KillTimer(owner.WindowHandle(), kTimerId);
    if (!pending_ || !ApplicationExists()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    cursor.y += GetSystemMetrics(SM_CYCURSOR) / 2 + ScreenScale()(4);  // below the pointer, not under it
    Application().ActivateHint(pending_->Hint, cursor);
}
