// The application object: the title, the hidden application window that owns message
// boxes, the message loop, and the display of errors that escape a handler.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Exception;
class TForm;
class THintWindow;

class TApplication {
public:
    TApplication();  // computes the title from the executable's path
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // Creates the hidden application window.
    void Initialize();
    HWND Handle() const { return handle_; }

    // The first form created becomes the main form; the application owns its forms.
    void AdoptForm(std::unique_ptr<TForm> form);
    TForm* MainForm() const { return mainForm_; }
    TForm* ActiveForm() const { return activeForm_; }
    void SetActiveForm(TForm* form) { activeForm_ = form; }
    void FormDestroyed(TForm* form);

    // Shows the main form with the start-up show state and runs the message loop until
    // the main form is closed.
    void Run(int showCommand);
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();
    // One message: keyboard navigation or dispatch, then the idle step. False on WM_QUIT.
    bool HandleMessage(const MSG& message);

    // Shows the error being handled (call inside a catch block); never throws.
    void HandleException() noexcept;
    // Cancels mouse capture, then shows `error` in an error box (EAbort: nothing).
    void ShowError(const Exception& error) noexcept;
    // A message box owned by BoxOwner(), the program's other windows disabled while it
    // shows; the active window and focus are restored afterwards.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);
    // ModalOwner of the active form, the main form and the application window.
    HWND BoxOwner() const;

    // The application's one hint window (made on first use).
    void ActivateHint(const std::string& text, POINT screenPoint);
    void HideHint();
    THintWindow* HintWindow() const { return hint_.get(); }

    // Hooks on the application window's messages; a hook answering true consumes the message.
    using MessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    int AddMessageHook(MessageHook hook);
    void RemoveMessageHook(int id);

private:
    static LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ApplicationWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool IsKeyboardNavigation(MSG& message);

    std::string title_;
    HWND handle_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
    TForm* activeForm_ = nullptr;
    std::vector<std::pair<int, MessageHook>> hooks_;
    std::unique_ptr<THintWindow> hint_;
    int nextHookId_ = 1;
};

// The process's application object; CreateApplication makes it at start-up.
TApplication& Application();
void CreateApplication();
void DestroyApplication();
bool ApplicationExists();

// The title rule applied to this executable: GetModuleFileNameA, converted from the OEM
// to the ANSI code page, then ApplicationTitleFromPath.
std::string ComputeApplicationTitle();

// The fatal start-up box: task-modal, stop icon, no owner, "アプリケーション エラー".
void ShowFatalError(const Exception& error, const void* address) noexcept;
