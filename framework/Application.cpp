#include "framework/Application.h"
#include <new>
#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/TaskWindows.h"
#include "framework/TextRules.h"
#include "graphics/bitmap/Bitmap.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

std::unique_ptr<TApplication>& ApplicationInstance() {
    static std::unique_ptr<TApplication> instance;
    return instance;
}

const char kApplicationWindowClass[] = "TApplication";

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

}  // namespace

TApplication& Application() {
    auto& instance = ApplicationInstance();
    if (!instance) instance = std::make_unique<TApplication>();
    return *instance;
}

void CreateApplication() { Application(); }

void DestroyApplication() { ApplicationInstance().reset(); }

bool ApplicationExists() { return ApplicationInstance() != nullptr; }

std::string ComputeApplicationTitle() {
    std::string path = ModulePath();
    if (!path.empty()) OemToCharBuffA(path.c_str(), path.data(), static_cast<DWORD>(path.size()));
    return ApplicationTitleFromPath(path);
}

void ShowFatalError(const Exception& error, const void* address) noexcept {
    try {
        std::string path = ModulePath();
        // The executable's file name: what follows the last "\" (double-byte aware).
        size_t start = 0;
        for (size_t i = 0; i < path.size(); ++i) {
            if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
                ++i;
                continue;
            }
            if (path[i] == '\\') start = i + 1;
        }
        std::string text = FatalErrorText(error.ClassName(), path.substr(start), address, error.Message());
        MessageBoxA(nullptr, text.c_str(), "アプリケーション エラー", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
    }
}

TApplication::TApplication() : title_(ComputeApplicationTitle()) {}

TApplication::~TApplication() {
    // Forms first (in reverse), while the application window still owns their boxes.
    while (!forms_.empty()) forms_.pop_back();
    hint_.reset();
    if (handle_ && IsWindow(handle_)) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

void TApplication::Initialize() {
    if (handle_) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, kApplicationWindowClass, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = ApplicationWindowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, "MAINICON");
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = kApplicationWindowClass;
        RegisterClassA(&wc);
    }
    handle_ = CreateWindowExA(0, kApplicationWindowClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                              nullptr, nullptr, instance, nullptr);
    if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
    if (!mainForm_) mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

void TApplication::FormDestroyed(TForm* form) {
    if (activeForm_ == form) activeForm_ = nullptr;
    if (form == mainForm_) PostQuitMessage(0);
}

void TApplication::Run(int showCommand) {
    if (!mainForm_) return;
    int command = SW_SHOWNORMAL;
    if (showCommand == SW_SHOWMAXIMIZED) command = SW_SHOWMAXIMIZED;
    else if (showCommand == SW_SHOWMINNOACTIVE) command = SW_SHOWMINNOACTIVE;
    mainForm_->Show(command);
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        HandleMessage(message);
    }
}

void TApplication::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the loop above must see it
            return;
        }
        HandleMessage(message);
    }
}

bool TApplication::HandleMessage(const MSG& message) {
    if (message.message == WM_QUIT) return false;
    MSG copy = message;
    try {
        if (!IsKeyboardNavigation(copy)) {
            TranslateMessage(&copy);
            DispatchMessageA(&copy);
        }
    } catch (...) {
        HandleException();
    }
    // Idle step: drawing contexts that bitmaps made for themselves are given back after
    // every message, so that no GDI context outlives the message that needed it.
    try {
        FreeMemoryContexts();
    } catch (...) {
        HandleException();
    }
    return true;
}

bool TApplication::IsKeyboardNavigation(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!TForm::FromHandle(root)) return false;
    return IsDialogMessageA(root, &message) != FALSE;
}

void TApplication::HandleException() noexcept {
    try {
        throw;
    } catch (const Exception& error) {
        ShowError(error);
    } catch (const std::bad_alloc&) {
        ShowError(EOutOfMemory(LoadResString(res::SOutOfMemory)));
    } catch (const std::exception& error) {
        ShowError(Exception(error.what()));
    } catch (...) {
        ShowError(Exception("不明なエラーが発生しました"));
    }
}

void TApplication::ShowError(const Exception& error) noexcept {
    try {
        if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
        if (dynamic_cast<const EAbort*>(&error)) return;
        ShowMessageBox(ErrorBoxText(error.Message()), title_, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

HWND TApplication::BoxOwner() const {
    return ModalOwner(activeForm_ && activeForm_->Active() ? activeForm_->WindowHandle() : nullptr,
                      mainForm_ ? mainForm_->WindowHandle() : nullptr, handle_);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    HWND owner = BoxOwner();
    // A box on the monitor the user is looking at. A form owner places it there already;
    // the application window, when it is the owner, goes to the centre of the active
    // window's monitor while the box shows.
    RECT savedPlace{};
    bool moved = false;
    if (owner && owner == handle_ && active && active != handle_) {
        HMONITOR activeMonitor = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
        if (activeMonitor != MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST)) {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoA(activeMonitor, &info) && GetWindowRect(handle_, &savedPlace)) {
                const RECT& m = info.rcMonitor;
                SetWindowPos(handle_, nullptr, (m.left + m.right) / 2, (m.top + m.bottom) / 2, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                moved = true;
            }
        }
    }
    int answer;
    {
        // The box disables its owner itself, and enables it again as it ends.
        TaskWindowsDisabled disabled(owner);
        answer = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    }
    if (moved)
        SetWindowPos(handle_, nullptr, savedPlace.left, savedPlace.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return answer;
}

void TApplication::ActivateHint(const std::string& text, POINT screenPoint) {
    if (!hint_) hint_ = std::make_unique<THintWindow>();
    hint_->ActivateHint(text, screenPoint);
}

void TApplication::HideHint() {
    if (hint_) hint_->Hide();
}

int TApplication::AddMessageHook(MessageHook hook) {
    hooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void TApplication::RemoveMessageHook(int id) {
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it)
        if (it->first == id) {
            hooks_.erase(it);
            return;
        }
}

LRESULT TApplication::ApplicationWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    auto hooks = hooks_;  // a hook may remove itself
    for (auto& hook : hooks) {
        LRESULT result = 0;
        if (hook.second(message, wParam, lParam, result)) return result;
    }
    if (message == WM_CLOSE && mainForm_) {
        mainForm_->Close();
        return 0;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TApplication::ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->ApplicationWindowMessage(message, wParam, lParam);
    } catch (...) {
        self->HandleException();
        return 0;
    }
}
