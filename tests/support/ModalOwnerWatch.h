// Watches, on the calling thread, what a modal box or system dialog does with its owner:
// the windows disabled, in order (a hook on window procedures sees each WM_ENABLE), and each
// owned dialog window as it is destroyed, with whether its owner was enabled then (a CBT
// hook). A modal box disables its owner itself and enables, as it ends, only an owner it
// disabled; an owner still disabled when the box goes cannot take the activation, which goes
// to another program. Wine enables the owner whatever it found, so there the order of the
// disabling shows it: the program disables its other windows, then the box its owner.
#pragma once
#include <windows.h>
#include <cstring>
#include <vector>

class ModalOwnerWatch {
public:
    struct End {
        HWND owner;
        bool ownerEnabled;
    };
    ModalOwnerWatch()
        : cbt_(SetWindowsHookExA(WH_CBT, &Cbt, nullptr, GetCurrentThreadId())),
          calls_(SetWindowsHookExA(WH_CALLWNDPROC, &Calls, nullptr, GetCurrentThreadId())) {
        Current() = this;
    }
    ~ModalOwnerWatch() {
        UnhookWindowsHookEx(cbt_);
        UnhookWindowsHookEx(calls_);
        Current() = nullptr;
    }
    ModalOwnerWatch(const ModalOwnerWatch&) = delete;
    ModalOwnerWatch& operator=(const ModalOwnerWatch&) = delete;

    std::vector<HWND> disabled;
    std::vector<End> ends;

private:
    static ModalOwnerWatch*& Current() {
        static thread_local ModalOwnerWatch* watch = nullptr;
        return watch;
    }
    static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = {};
        if (code == HCBT_DESTROYWND && Current() && GetClassNameA(window, name, sizeof name) &&
            std::strcmp(name, "#32770") == 0)
            if (HWND owner = GetWindow(window, GW_OWNER)) Current()->ends.push_back({owner, IsWindowEnabled(owner) != FALSE});
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK Calls(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && Current() && call->message == WM_ENABLE && !call->wParam &&
            !(GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD))
            Current()->disabled.push_back(call->hwnd);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK cbt_, calls_;
};
