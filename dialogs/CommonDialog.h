// The base of the system dialogs: runs one modally over the program's windows, attaches
// the dialog's window to its object while it exists, centres it and routes help requests.
#pragma once
#include <windows.h>
#include <functional>
#include "framework/Component.h"
#include "rtl/Object.h"

class TCommonDialog : public TComponent {
public:
    TCommonDialog();
    ~TCommonDialog() override;
    TCommonDialog(const TCommonDialog&) = delete;
    TCommonDialog& operator=(const TCommonDialog&) = delete;
    const char* ClassName() const noexcept override { return "TCommonDialog"; }

    virtual bool RunModal() = 0;
    // True when it handled the message: the help message with a help topic set.
    virtual bool HelpMessageHook(UINT message);

    HWND Handle() const { return handle_; }

    bool Ctl3D = true;
    int32_t HelpContext = 0;
    LPCSTR Template = nullptr;  // dialog template resource, for dialogs that have one
    TNotifyEvent OnClose;
    TNotifyEvent OnShow;

    // The print and setup hook of the system dialogs (and the old-style open dialog's):
    // centres the window and attaches it to the dialog being created.
    static UINT_PTR CALLBACK CentringHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CentreOnMonitor(HWND window);
    // The owner of a system dialog about to run: ModalOwner of the active form, the main
    // window and the application window.
    static HWND DialogOwner();

protected:
    // Runs `dialogFunction(record)` with the program's windows but `owner` (the record's
    // owner) disabled; restores the floating-point control word, the hook and the windows
    // whatever happens.
    virtual BOOL RunTaskModal(HWND owner, const std::function<BOOL()>& dialogFunction);
    // Hands a message of the dialog's window to this object's handlers.
    virtual LRESULT RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void DialogShown();
    virtual void DialogClosed();
    LRESULT DefaultHandling(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Attaches `window` to this object: its messages go through the object's procedure.
    void Attach(HWND window);
    // On a hook's WM_INITDIALOG: attaches the window to the dialog being created, passes
    // the message through that object's procedure and clears the reference.
    static void AttachDialogBeingCreated(HWND window, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC systemProcedure_ = nullptr;
    HWND handle_ = nullptr;
};

// The dialog whose system window is being created (one at a time: the dialogs are modal).
TCommonDialog*& DialogBeingCreated();
