#include "framework/Button.h"
#include "rtl/Exceptions.h"

namespace {
// Identifiers above IDOK/IDCANCEL and the other dialog codes, so that keyboard navigation's
// WM_COMMAND IDOK is never mistaken for a button.
int NextControlId() {
    static int next = 1000;
    return next++;
}
}  // namespace

TButton::TButton() : id_(NextControlId()) {
    TabStop = true;
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateHandle() {
    TWinControl* parent = Parent();
    if (!parent) throw EInvalidOperation("コントロールに親ウィンドウがありません");
    HWND parentWindow = parent->Handle();
    DWORD style = WS_CHILD | BS_PUSHBUTTON | (TabStop ? WS_TABSTOP : 0) | (Visible() ? WS_VISIBLE : 0) |
                  (Enabled() ? 0 : WS_DISABLED);
    hwnd_ = CreateWindowExA(0, "BUTTON", Caption().c_str(), style, Left(), Top(), Width(), Height(),
                            parentWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) throw EOutOfResources("ウィンドウを作成できません");
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TButton::TextChanged() {
    if (hwnd_) SetWindowTextA(hwnd_, Caption().c_str());
}

void TButton::FontWasChanged() {
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

void TButton::EnabledChanged() {
    if (hwnd_) EnableWindow(hwnd_, Enabled());
}
