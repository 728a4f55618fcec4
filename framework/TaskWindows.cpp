#include "framework/TaskWindows.h"

namespace {

struct Search {
    HWND keep;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (window != search->keep && IsWindowVisible(window) && IsWindowEnabled(window))
        search->found->push_back(window);
    return TRUE;
}

}  // namespace

HWND ModalOwner(HWND activeForm, HWND mainForm, HWND applicationWindow) {
    if (activeForm) return activeForm;
    if (mainForm) return mainForm;
    return applicationWindow;
}

TaskWindowsDisabled::TaskWindowsDisabled(HWND keep) {
    Search search{keep, &windows_};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : windows_) EnableWindow(window, FALSE);
}

TaskWindowsDisabled::~TaskWindowsDisabled() {
    for (HWND window : windows_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
}
