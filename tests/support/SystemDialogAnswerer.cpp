#include "support/SystemDialogAnswerer.h"

#include "support/UiDriver.h"

namespace {

HWND FindThreadDialog(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM result) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) == "#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

SystemDialogAnswerer::SystemDialogAnswerer(std::function<void(HWND dialog)> answer) {
    const DWORD owner = GetCurrentThreadId();
    helper_ = std::thread([this, owner, answer] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindThreadDialog(owner)) != nullptr; }, 20000)) return;
        Sleep(500);  // a dialog that has just appeared is not ready for input yet
        answer(dialog);
        answered_ = true;
    });
}

SystemDialogAnswerer::~SystemDialogAnswerer() {
    if (helper_.joinable()) helper_.join();
}

std::string ControlText(HWND dialog, int id) {
    char text[256] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
