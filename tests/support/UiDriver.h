// Drives the real Tetrafol.exe from a test: starts it under the same Wine, finds its
// windows, reads what the screen shows and clicks with real (hardware) input.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/Pixels.h"

// Polls `done` every 20 ms until it holds or `timeoutMs` passes; true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Waits until another thread's window and its controls have painted what was pending and
// the window has answered a message that does nothing: its thread has looked at its queue
// again since. (Wine's print dialog closed before its controls first painted leaves GDI
// objects behind.)
bool Settle(HWND window, DWORD timeoutMs = 10000);
// Waits until a dialog of another thread takes input: the focus is on one of its controls
// and its modal loop answers (it has finished setting itself up).
bool WaitUntilReady(HWND dialog, DWORD timeoutMs = 10000);

// Z:\... path of a Linux path, as Wine maps the root file system.
std::string WindowsPathOf(const std::string& unixPath);
// Where the test may leave files: out/ of the repository when known, else the temp folder.
std::string OutputDir();

// A Linux path for a file of this process's own: under the worktree's .run/ when known (rigs
// of other worktrees share /tmp, and their Wine processes may have the same ids), else /tmp.
std::string ScratchPath(const std::string& name);

// Runs a Linux command line through /bin/sh (Wine starts Unix programs) and returns its
// exit code (-1 when it did not finish in time); its standard output and standard error
// are returned in `output` when given.
int RunUnixShell(const std::string& script, std::string* output = nullptr, DWORD timeoutMs = 60000);

Pixels CaptureScreen(const RECT& screenRect);
Pixels CaptureClient(HWND window);

// Moves the pointer to a screen position and presses and releases the left button
// (`clicks` times: 2 is a double-click).
void ClickScreen(int x, int y, int clicks = 1);
void ClickCentre(const RECT& screenRect, int clicks = 1);
void ClickClient(HWND window, int x, int y);
// Presses and releases a key (with Shift held when `shift`) on the focused window.
void PressKey(WORD virtualKey, bool shift = false);
// Types text (ANSI code page) as keyboard input to the focused window.
void TypeText(const std::string& text);

std::string WindowText(HWND window);
// A control's text, also of another process's window (GetWindowText does not ask those).
std::string EditText(HWND control);
std::string ClassNameOf(HWND window);
// The window's rectangle on the screen.
RECT ScreenRectOf(HWND window);
// The window that has the focus in the thread of `window` (nullptr: none).
HWND FocusOf(HWND window);
// A child window's rectangle in its parent's client coordinates.
RECT ChildRectInClient(HWND parent, HWND child);
// "left,top widthxheight": a placement checked in one comparison.
std::string Placement(const RECT& r);
// ASCII letters in lower case (file names as the dialogs may show them).
std::string Lower(std::string s);
// The child window with this class (and text, when given), searched depth first.
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);
// A visible dialog or message box ("#32770") of the given thread, or nullptr.
HWND FindThreadDialog(DWORD threadId);
// Presses a button of a dialog or message box (BM_CLICK works there, see platform notes).
void PressButton(HWND dialog, int id);

// The running program.
class AppProcess {
public:
    // Starts the executable named by TETRAFOL_EXE (a Linux path) with the given show state.
    explicit AppProcess(int showCommand = SW_SHOWNORMAL, const std::string& exePath = "");
    ~AppProcess();  // closes the program, killing it if it will not go
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    DWORD MainThreadId() const { return info_.dwThreadId; }
    HANDLE ProcessHandle() const { return info_.hProcess; }
    // The visible top-level window of this process with the class and title given
    // (nullptr: any); waits up to `timeoutMs`.
    HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = 10000) const;
    HWND MainWindow(DWORD timeoutMs = 15000);
    // A dialog or message box of this process ("#32770") with the title given.
    HWND WaitForDialog(const char* title, DWORD timeoutMs = 10000) const;
    // Message box text (the static control that holds it).
    static std::string MessageBoxText(HWND box);
    // Types a file name into an open-file dialog's name box and confirms it with Enter,
    // as a person would; false when the name box did not take the focus.
    static bool AnswerOpenDialog(HWND dialog, const std::string& windowsPath);
    // The open-file dialog's name box (the edit control inside it).
    static HWND FileNameEdit(HWND dialog);
    // The main window once its first paint (the slots' white boxes) is on the screen and it
    // has settled; nullptr when it did not come.
    HWND Ready(DWORD timeoutMs = 15000);
    // Waits until `dialog` has gone and the program has finished what its answer started
    // (it answers again, or its error box shows) and has repainted.
    bool Finished(HWND dialog, DWORD timeoutMs = 120000);
    // Loads a file into slot 0 to 3 through the real picture-open dialog; true once the
    // program has finished with it (see Finished).
    bool LoadSlot(int slot, const std::string& windowsPath);
    // Clicks "印刷" and confirms or cancels the print dialog; true once the program has
    // finished with the answer.
    bool Print(bool confirm);
    // The program's error box as it showed, then closed with OK (no text: no box came).
    struct ErrorBox {
        std::string text;
        bool okOnly = false;        // no Cancel button
        bool mainDisabled = false;  // the main window took no input under it
        bool another = false;       // a second box came once the window had repainted
    };
    ErrorBox TakeErrorBox(DWORD timeoutMs = 5000);

    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Close();

private:
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};
