#include "support/UiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/DibSurface.h"
#include "support/Form1Points.h"
#include "support/TempDir.h"

namespace {

// Windows command-line quoting for one argument.
std::string Quote(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') { ++backslashes; continue; }
        if (c == '"') out.append(backslashes * 2 + 1, '\\');
        else out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

void SendButton(DWORD down, DWORD up) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace

bool Settle(HWND window, DWORD timeoutMs) {
    // Not RedrawWindow: a paint that shows a message box would hold the caller until it closed.
    // Two answers: the second comes after the thread has waited for messages again, which is
    // when Wine puts what was painted on the screen.
    DWORD_PTR answer = 0;
    auto painted = [](HWND w, LPARAM pending) -> BOOL {
        *reinterpret_cast<bool*>(pending) |= GetUpdateRect(w, nullptr, FALSE) != FALSE;
        return TRUE;
    };
    return WaitUntil([&] {
               bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
               EnumChildWindows(window, painted, reinterpret_cast<LPARAM>(&pending));  // its controls too
               return !pending;
           }, timeoutMs) &&
           SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0 &&
           SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

bool WaitUntilReady(HWND dialog, DWORD timeoutMs) {
    const bool focused = WaitUntil([&] {
        HWND focus = FocusOf(dialog);
        return focus && (focus == dialog || IsChild(dialog, focus));
    }, timeoutMs);
    return focused && Settle(dialog, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);  // polling pace only: the answer is `done`'s, asked again until the timeout
    }
}

std::string WindowsPathOf(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string OutputDir() {
    const char* root = std::getenv("TETRAFOL_ROOT");
    if (root && *root) {
        std::string dir = WindowsPathOf(std::string(root) + "/out");
        CreateDirectoryA(dir.c_str(), nullptr);
        return dir;
    }
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    return tmp;
}

std::string ScratchPath(const std::string& name) {
    const char* root = std::getenv("TETRAFOL_ROOT");
    return (root && *root ? std::string(root) + "/.run/" : std::string("/tmp/")) + "tetrafol-" +
           std::to_string(GetCurrentProcessId()) + "-" + name;
}

int RunUnixShell(const std::string& script, std::string* output, DWORD timeoutMs) {
    // Wine starts Unix programs but gives no process handle to wait on and no way to pass
    // pipes: the shell leaves its output and exit code in files, and the code file appears
    // (renamed into place) only when the command has finished.
    static int counter = 0;
    const std::string base = ScratchPath("shell-" + std::to_string(++counter));
    const std::string outFile = base + ".out", codeFile = base + ".rc";
    const std::string wrapped = "( " + script + " ) >" + outFile + " 2>&1; echo $? >" + base +
                                ".tmp; mv " + base + ".tmp " + codeFile;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "/bin/sh -c " + Quote(wrapped);
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);

    const std::string codePath = WindowsPathOf(codeFile), outPath = WindowsPathOf(outFile);
    const bool finished = WaitUntil([&] {
        return GetFileAttributesA(codePath.c_str()) != INVALID_FILE_ATTRIBUTES;
    }, timeoutMs);
    const std::string codeText = finished ? ReadWholeFile(codePath) : "";
    const int code = codeText.empty() ? -1 : std::atoi(codeText.c_str());
    if (output) *output = ReadWholeFile(outPath);
    DeleteFileA(codePath.c_str());
    DeleteFileA(outPath.c_str());
    return code;
}

Pixels CaptureScreen(const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return Pixels();
    DibSurface copy(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    BitBlt(copy.dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copy.Read();
}

Pixels CaptureClient(HWND window) {
    RECT rc;
    GetClientRect(window, &rc);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&rc, origin.x, origin.y);
    return CaptureScreen(rc);
}

RECT ScreenRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

RECT ChildRectInClient(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Placement(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

void ClickScreen(int x, int y, int clicks) {
    SetCursorPos(x, y);
    Sleep(30);  // input pacing, as a hand moves before it clicks; callers wait for the click's effect
    for (int i = 0; i < clicks; ++i) SendButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void ClickCentre(const RECT& r, int clicks) { ClickScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2, clicks); }

void ClickClient(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetForegroundWindow(window);
    ClickScreen(p.x, p.y);
}

void PressKey(WORD virtualKey, bool shift) {
    std::vector<INPUT> in;
    auto key = [&in](WORD vk, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) key(VK_SHIFT, false);
    key(virtualKey, false);
    key(virtualKey, true);
    if (shift) key(VK_SHIFT, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(30);  // input pacing between keys; callers wait for what the keys do
}

void TypeText(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::vector<INPUT> in;
    for (wchar_t c : wide)
        for (bool up : {false, true}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = c;
            i.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            in.push_back(i);
        }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(50);  // input pacing before the next key; callers wait for what the text does
}

std::string WindowText(HWND window) {
    char buf[1024] = {};
    GetWindowTextA(window, buf, sizeof buf);
    return buf;
}

std::string EditText(HWND control) {
    char text[MAX_PATH + 1] = {};
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ClassNameOf(HWND window) {
    char buf[256] = {};
    GetClassNameA(window, buf, sizeof buf);
    return buf;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassNameOf(child) == className && (!text || WindowText(child) == text)) return child;
        if (HWND deeper = FindChild(child, className, text)) return deeper;
    }
    return nullptr;
}

HWND FindThreadDialog(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM result) -> BOOL {
            if (ClassNameOf(window) != "#32770" || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

AppProcess::AppProcess(int showCommand, const std::string& exePath) {
    std::string path = exePath;
    if (path.empty()) {
        const char* env = std::getenv("TETRAFOL_EXE");
        if (!env) throw std::runtime_error("TETRAFOL_EXE is not set");
        path = env;
    }
    if (!path.empty() && path[0] == '/') path = WindowsPathOf(path);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    std::string cmd = Quote(path);
    // Wine has been seen to refuse a process start once, right after another test's
    // program ended; a second try a moment later goes through.
    DWORD error = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
            return;
        error = GetLastError();
        std::fprintf(stderr, "starting %s failed (error %lu)\n", path.c_str(), error);
        Sleep(500);  // pacing of the retry; a start that never succeeds still throws
    }
    throw std::runtime_error("cannot start " + path + " (error " + std::to_string(error) + ")");
}

AppProcess::~AppProcess() {
    if (!info_.hProcess) return;
    if (!WaitForExit(0)) {
        Close();
        if (!WaitForExit(5000)) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND AppProcess::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) const {
    struct Search {
        DWORD pid;
        const char *className, *title;
        HWND found;
    } s{info_.dwProcessId, className, title, nullptr};
    auto match = [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != s->pid || !IsWindowVisible(hwnd) || (s->className && ClassNameOf(hwnd) != s->className) ||
            (s->title && WindowText(hwnd) != s->title))
            return TRUE;
        s->found = hwnd;
        return FALSE;
    };
    WaitUntil([&] { return EnumWindows(match, reinterpret_cast<LPARAM>(&s)), s.found != nullptr; }, timeoutMs);
    return s.found;
}

HWND AppProcess::MainWindow(DWORD timeoutMs) {
    if (!main_) {
        WaitForInputIdle(info_.hProcess, timeoutMs);
        main_ = WaitForWindow(nullptr, "Tetrafol", timeoutMs);
        // The first paint reaches the screen before anyone reads it.
        if (main_) Settle(main_, timeoutMs);
    }
    return main_;
}

HWND AppProcess::WaitForDialog(const char* title, DWORD timeoutMs) const {
    HWND dialog = WaitForWindow("#32770", title, timeoutMs);
    // A dialog that has just appeared does not take input at once.
    if (dialog) WaitUntilReady(dialog, timeoutMs);
    return dialog;
}

std::string AppProcess::MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

HWND AppProcess::FileNameEdit(HWND dialog) {
    const int fileNameCombo = 0x47C, fileNameEdit = 0x480;
    if (HWND combo = GetDlgItem(dialog, fileNameCombo)) {
        if (HWND edit = FindChild(combo, "Edit")) return edit;
        return combo;
    }
    return GetDlgItem(dialog, fileNameEdit);
}

bool AppProcess::AnswerOpenDialog(HWND dialog, const std::string& windowsPath) {
    HWND edit = FileNameEdit(dialog);
    SetForegroundWindow(dialog);
    ClickCentre(ScreenRectOf(edit));
    // Keys typed before the box has the focus would go elsewhere.
    if (!WaitUntil([&] { return FocusOf(dialog) == edit; }, 3000)) return false;
    // Whatever the box holds is replaced by what is typed.
    PressKey(VK_END);
    PressKey(VK_HOME, true);
    TypeText(windowsPath);
    PressKey(VK_RETURN);
    return true;
}

HWND AppProcess::Ready(DWORD timeoutMs) {
    HWND main = MainWindow(timeoutMs);
    // (30, 30) lies in slot 1's white box at 96 and at 144 dpi.
    const bool white = main && WaitUntil([&] { return CaptureClient(main).At(30, 30) == 0xFFFFFF; }, timeoutMs);
    return white && Settle(main, timeoutMs) ? main : nullptr;
}

bool AppProcess::Finished(HWND dialog, DWORD timeoutMs) {
    HWND main = MainWindow();
    DWORD_PTR answer = 0;
    // The answer comes once the handler has returned or a modal loop of its own (an error
    // box) runs; what the handler invalidated is painted before Settle returns.
    return main && WaitUntil([&] { return !IsWindow(dialog); }, 10000) &&
           SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0 && Settle(main, timeoutMs);
}

bool AppProcess::LoadSlot(int slot, const std::string& windowsPath) {
    HWND main = MainWindow();
    if (!main) return false;
    ClickClient(main, kSlotCentre[slot].x, kSlotCentre[slot].y);
    HWND dialog = WaitForDialog(nullptr);
    if (!dialog) return false;
    return AnswerOpenDialog(dialog, windowsPath) && Finished(dialog);
}

bool AppProcess::Print(bool confirm) {
    HWND main = MainWindow();
    if (!main) return false;
    ClickClient(main, kPrintButton.x, kPrintButton.y);
    HWND dialog = WaitForDialog(nullptr);
    if (!dialog) return false;
    PressButton(dialog, confirm ? IDOK : IDCANCEL);
    return Finished(dialog, 600000);
}

AppProcess::ErrorBox AppProcess::TakeErrorBox(DWORD timeoutMs) {
    ErrorBox seen;
    HWND box = WaitForDialog("Tetrafol", timeoutMs);
    if (!box) return seen;
    seen.text = MessageBoxText(box);
    seen.okOnly = GetDlgItem(box, IDCANCEL) == nullptr;
    seen.mainDisabled = !IsWindowEnabled(MainWindow());
    PressButton(box, IDOK);
    // A box per repaint would come with the repaint that the closed box asks for: once the
    // window has painted and answered, it would be there.
    seen.another = !Finished(box, timeoutMs) || WaitForWindow("#32770", "Tetrafol", 0) != nullptr;
    return seen;
}

bool AppProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void AppProcess::Close() {
    HWND main = main_ ? main_ : WaitForWindow(nullptr, "Tetrafol", 0);
    if (main) PostMessageA(main, WM_CLOSE, 0, 0);
}
