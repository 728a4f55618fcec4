#include "support/SystemDialogAnswerer.h"

#include "support/UiDriver.h"

SystemDialogAnswerer::SystemDialogAnswerer(std::function<void(HWND dialog)> answer, DWORD timeoutMs) {
    const DWORD owner = GetCurrentThreadId();
    helper_ = std::thread([this, owner, answer, timeoutMs] {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindThreadDialog(owner)) != nullptr; }, timeoutMs)) return;
        if (!WaitUntilReady(dialog, timeoutMs)) return;  // one that has just appeared is not yet
        answer(dialog);
        answered_ = true;
    });
}

SystemDialogAnswerer::~SystemDialogAnswerer() { Wait(); }

void SystemDialogAnswerer::Wait() {
    if (helper_.joinable()) helper_.join();
}

std::string ControlText(HWND dialog, int id) { return EditText(GetDlgItem(dialog, id)); }

void SetControlText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
