// What the common dialogs need of the window framework. The framework fills these in at
// start-up; until it does (and in library tests) plain Win32 stand-ins are used.
#pragma once
#include <windows.h>
#include <functional>

class Exception;
class TCommonDialog;

struct TDialogHost {
    std::function<HWND()> ApplicationWindow;  // owner of the system dialogs when no form is up
    std::function<HWND()> MainWindow;         // none while the program has no main window
    std::function<HWND()> ActiveForm;         // none when no form of the program is active
    // Disables the program's windows but `owner`; the returned function enables them again.
    std::function<std::function<void()>(HWND owner)> DisableTaskWindows;
    // Routes the application window's messages through dialog.HelpMessageHook.
    std::function<void(TCommonDialog&)> HookApplication;
    std::function<void(TCommonDialog&)> UnhookApplication;
    std::function<void(int helpContext)> ShowHelp;
    // Shows an error raised inside a dialog's window procedure.
    std::function<void(const Exception&)> ShowError;
};

// The process's host; entries left empty fall back to the Win32 stand-ins.
TDialogHost& DialogHost();
