// Disabling the program's windows while a modal box or system dialog shows, the way a
// modal window makes the rest of the program unreachable.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/MessageLevels.h"

// The owner of a modal box or system dialog: the active form, else the main form, else the
// application window (the first of them that is not null). The box must be in the owner
// chain of a window with a taskbar button: the system brings up the last active window
// owned by the window whose button is clicked, and the application window has no button
// (it is never shown). Owned by the application window a box is lost when the user leaves
// the program and comes back through the taskbar: the main form comes back, disabled, and
// nothing in its owner chain is the box.
HWND ModalOwner(HWND activeForm, HWND mainForm, HWND applicationWindow);

class TaskWindowsDisabled {
public:
    // Disables every visible, enabled top-level window of this thread except `keep`. A
    // modal box or dialog is kept out with its owner: it disables the owner itself and
    // enables, when it ends, only an owner it disabled; an owner still disabled then cannot
    // take the activation, and the system activates another program's window.
    explicit TaskWindowsDisabled(HWND keep = nullptr);
    ~TaskWindowsDisabled();  // enables them again
    TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
    TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

    const std::vector<HWND>& Windows() const { return windows_; }

private:
    std::vector<HWND> windows_;
    ModalLoopLevel loop_;  // a modal loop runs while the windows are disabled
};
