// Answers the system dialog that the test's own thread is about to show: a helper
// thread waits for a dialog window of that thread, looks at it and presses a button.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>

class SystemDialogAnswerer {
public:
    // `answer` runs on the helper thread with the dialog's window once it is up; no dialog
    // within `timeoutMs` and the helper ends without answering.
    explicit SystemDialogAnswerer(std::function<void(HWND dialog)> answer, DWORD timeoutMs = 20000);
    ~SystemDialogAnswerer();  // waits for the helper thread
    void Wait();              // the same, earlier
    SystemDialogAnswerer(const SystemDialogAnswerer&) = delete;
    SystemDialogAnswerer& operator=(const SystemDialogAnswerer&) = delete;

    bool Answered() const { return answered_; }

private:
    std::thread helper_;
    bool answered_ = false;
};

// Text of a dialog's control, read from another thread.
std::string ControlText(HWND dialog, int id);
// Sets a control's text from another thread.
void SetControlText(HWND dialog, int id, const std::string& text);

// The print dialog's copies box (edt3 of the system's template).
constexpr int kCopiesEdit = 0x482;
