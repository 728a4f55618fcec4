#include "dialogs/CommonDialog.h"

#include <vector>

#include "dialogs/DialogHost.h"
#include "dialogs/DialogsModule.h"
#include "framework/TaskWindows.h"
#include "rtl/Exceptions.h"

namespace {

const char kObjectProperty[] = "TetrafolCommonDialog";

// Stand-in for the framework: disables this thread's enabled, visible top-level windows
// but `owner`.
std::function<void()> DisableThreadWindows(HWND owner) {
    std::pair<HWND, std::vector<HWND>> search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto& [keep, list] = *reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(param);
            if (window != keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
                EnableWindow(window, FALSE);
                list.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return [disabled = std::move(search.second)] {
        for (HWND window : disabled)
            if (IsWindow(window)) EnableWindow(window, TRUE);
    };
}

// The x87 control word and the SSE control/status register: whatever a system dialog
// leaves in them must not outlive it.
struct FloatingPointState {
    uint16_t controlWord = 0;
    uint32_t mxcsr = 0;

    static FloatingPointState Save() {
        FloatingPointState state;
        asm volatile("fnstcw %0" : "=m"(state.controlWord));
        asm volatile("stmxcsr %0" : "=m"(state.mxcsr));
        return state;
    }
    void Restore() const {
        asm volatile("fnclex\n\tfldcw %0" : : "m"(controlWord));
        const uint32_t clean = mxcsr & ~0x3Fu;  // pending exception flags dropped
        asm volatile("ldmxcsr %0" : : "m"(clean));
    }
};

void ShowDialogError(const Exception& error) noexcept {
    try {
        if (DialogHost().ShowError) DialogHost().ShowError(error);
    } catch (...) {
    }
}

}  // namespace

TCommonDialog*& DialogBeingCreated() {
    static TCommonDialog* dialog = nullptr;
    return dialog;
}

TCommonDialog::TCommonDialog() = default;

TCommonDialog::~TCommonDialog() {
    if (handle_ && IsWindow(handle_)) {
        RemovePropA(handle_, kObjectProperty);
        if (systemProcedure_) SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProcedure_));
    }
    if (DialogBeingCreated() == this) DialogBeingCreated() = nullptr;
}

bool TCommonDialog::HelpMessageHook(UINT message) {
    if (message == 0 || message != HelpMessage() || HelpContext == 0) return false;
    const TDialogHost& host = DialogHost();
    if (host.ShowHelp) host.ShowHelp(HelpContext);
    return true;
}

BOOL TCommonDialog::RunTaskModal(HWND owner, const std::function<BOOL()>& dialogFunction) {
    TDialogHost& host = DialogHost();
    HWND active = GetActiveWindow();
    // The owner stays enabled: the system dialog disables it, and enables it again as it
    // ends, only if it found it enabled (see TaskWindowsDisabled).
    std::function<void()> enableWindows =
        host.DisableTaskWindows ? host.DisableTaskWindows(owner) : DisableThreadWindows(owner);
    HWND focus = GetFocus();
    if (host.HookApplication) host.HookApplication(*this);
    DialogBeingCreated() = this;

    // Undone in reverse order, also when the dialog function fails.
    struct Restore {
        TCommonDialog& dialog;
        TDialogHost& host;
        HWND active, focus;
        std::function<void()>& enableWindows;
        FloatingPointState fpu;
        ~Restore() {
            fpu.Restore();
            if (DialogBeingCreated() == &dialog) DialogBeingCreated() = nullptr;
            if (host.UnhookApplication) host.UnhookApplication(dialog);
            if (enableWindows) enableWindows();
            if (active && IsWindow(active)) SetActiveWindow(active);
            if (focus && IsWindow(focus)) SetFocus(focus);
        }
    } restore{*this, host, active, focus, enableWindows, FloatingPointState::Save()};

    return dialogFunction();
}

void TCommonDialog::CentreOnMonitor(HWND window) {
    const TDialogHost& host = DialogHost();
    HWND main = host.MainWindow ? host.MainWindow() : nullptr;
    HMONITOR monitor;
    if (main) {
        HWND form = host.ActiveForm ? host.ActiveForm() : nullptr;
        monitor = MonitorFromWindow(form ? form : main, MONITOR_DEFAULTTONEAREST);
    } else {
        monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    }
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT bounds;
    if (!GetMonitorInfoA(monitor, &info) || !GetWindowRect(window, &bounds)) return;
    const RECT& area = info.rcMonitor;
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 3;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TCommonDialog::DialogOwner() {
    // The error box's owner rule: owned by the form the user works in, the dialog comes back
    // with it through the taskbar and goes away with it.
    const TDialogHost& host = DialogHost();
    return ModalOwner(host.ActiveForm ? host.ActiveForm() : nullptr, host.MainWindow ? host.MainWindow() : nullptr,
                      host.ApplicationWindow ? host.ApplicationWindow() : GetActiveWindow());
}

UINT_PTR CALLBACK TCommonDialog::CentringHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return 0;
    CentreOnMonitor(window);
    AttachDialogBeingCreated(window, wParam, lParam);
    return 0;
}

void TCommonDialog::AttachDialogBeingCreated(HWND window, WPARAM wParam, LPARAM lParam) {
    if (TCommonDialog* dialog = DialogBeingCreated()) {
        dialog->Attach(window);
        WindowProcedure(window, WM_INITDIALOG, wParam, lParam);
    }
    DialogBeingCreated() = nullptr;
}

void TCommonDialog::Attach(HWND window) {
    handle_ = window;
    SetPropA(window, kObjectProperty, this);
    systemProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
}

LRESULT CALLBACK TCommonDialog::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<TCommonDialog*>(GetPropA(window, kObjectProperty));
    if (!dialog) return DefWindowProcA(window, message, wParam, lParam);
    // No error may unwind through the system dialog's code that called us: every one is
    // shown here and the dialog goes on.
    try {
        return dialog->RouteMessage(window, message, wParam, lParam);
    } catch (const Exception& error) {
        ShowDialogError(error);
    } catch (const std::exception& error) {
        ShowDialogError(Exception(error.what()));
    } catch (...) {
        ShowDialogError(Exception("不明なエラーが発生しました"));
    }
    return 0;
}

LRESULT TCommonDialog::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        DialogShown();
        return 0;
    case WM_DESTROY: {
        const LRESULT result = DefaultHandling(window, message, wParam, lParam);
        DialogClosed();
        return result;
    }
    case WM_NCDESTROY: {
        const LRESULT result = DefaultHandling(window, message, wParam, lParam);
        RemovePropA(window, kObjectProperty);
        handle_ = nullptr;
        systemProcedure_ = nullptr;
        return result;
    }
    default:
        return DefaultHandling(window, message, wParam, lParam);
    }
}

LRESULT TCommonDialog::DefaultHandling(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle_ && systemProcedure_) return CallWindowProcA(systemProcedure_, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void TCommonDialog::DialogShown() {
    if (OnShow) OnShow(this);
}

void TCommonDialog::DialogClosed() {
    if (OnClose) OnClose(this);
}
