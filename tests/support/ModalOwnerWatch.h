// Hooks on this thread: the top-level windows disabled, in order, and whether a dialog's owner
// is enabled as the dialog goes. A modal box enables again only an owner it disabled; Wine's
// enables it whatever it found, so there the order shows it: the box disables its owner last.
#pragma once
#include <windows.h>
#include <vector>

struct ModalOwnerWatch {
    static inline std::vector<HWND> disabled;
    static inline std::vector<bool> ownerEnabledAtEnd;
    ModalOwnerWatch() { disabled.clear(), ownerEnabledAtEnd.clear(); }
    ~ModalOwnerWatch() { UnhookWindowsHookEx(cbt), UnhookWindowsHookEx(calls); }
    HHOOK cbt = SetWindowsHookExA(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
        HWND dialog = reinterpret_cast<HWND>(w), owner = GetWindow(dialog, GW_OWNER);
        if (code == HCBT_DESTROYWND && owner && GetClassLongPtrA(dialog, GCW_ATOM) == 32770)
            ownerEnabledAtEnd.push_back(IsWindowEnabled(owner));
        return CallNextHookEx(nullptr, code, w, l);
    }, nullptr, GetCurrentThreadId());
    HHOOK calls = SetWindowsHookExA(WH_CALLWNDPROC, [](int code, WPARAM w, LPARAM l) -> LRESULT {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
        if (sent->message == WM_ENABLE && !sent->wParam && !(GetWindowLongA(sent->hwnd, GWL_STYLE) & WS_CHILD))
            disabled.push_back(sent->hwnd);
        return CallNextHookEx(nullptr, code, w, l);
    }, nullptr, GetCurrentThreadId());
};
