// Disabling the program's windows while a modal box or system dialog shows, the way a
// modal window makes the rest of the program unreachable.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/MessageLevels.h"

class TaskWindowsDisabled {
public:
    // Disables every visible, enabled top-level window of this thread except `keep`.
    explicit TaskWindowsDisabled(HWND keep = nullptr);
    ~TaskWindowsDisabled();  // enables them again
    TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
    TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

    const std::vector<HWND>& Windows() const { return windows_; }

private:
    std::vector<HWND> windows_;
    ModalLoopLevel loop_;  // a modal loop runs while the windows are disabled
};
