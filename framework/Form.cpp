#include "framework/Form.h"
#include <algorithm>
#include <memory>
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/LayoutValues.h"
#include "framework/ScreenScale.h"
#include "framework/TaskWindows.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/GdiHandles.h"
#include "graphics/GraphicsModule.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"

namespace {

class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~PaintSession() { EndPaint(window_, &ps_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return dc_; }
    const RECT& region() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

void RegisterFormClass(const char* className, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, className, &wc)) return;
    wc = WNDCLASSA{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

std::vector<TForm*>& LiveForms() {
    static std::vector<TForm*> forms;
    return forms;
}

}  // namespace

TForm::TForm() {
    SetColor(clBtnFace);
    LiveForms().push_back(this);
}

TForm* TForm::FromHandle(HWND window) {
    if (!window) return nullptr;
    for (TForm* form : LiveForms())
        if (form->WindowHandle() == window) return form;
    return nullptr;
}

TForm::~TForm() {
    auto& live = LiveForms();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    mouseTarget_ = nullptr;
    // Components go in reverse order of creation.
    while (!components_.empty()) components_.pop_back();
}

void TForm::MissingComponent(const std::string& name) {
    throw EReadError(Format("コンポーネント %s が見つかりません", {name}));
}

TComponent* TForm::FindComponent(const std::string& name) const {
    for (const auto& c : components_)
        if (c->Name == name) return c.get();
    return nullptr;
}

void TForm::RegisterHandler(const std::string& name, TNotifyEvent handler) {
    handlers_[name] = std::move(handler);
}

std::unique_ptr<TComponent> TForm::CreateComponent(const std::string& className) {
    if (className == "TButton") return std::make_unique<TButton>();
    return nullptr;
}

void TForm::ReadLayoutResource(const char* resourceName) {
    ReadLayout(ParseLayout(LoadLayoutText(GetModuleHandleA(nullptr), resourceName)));
}

void TForm::ApplyProperties(TComponent& component, const LayoutObject& object) {
    for (const LayoutProperty& p : object.Properties) {
        try {
            if (p.Name.compare(0, 2, "On") == 0) {
                auto handler = handlers_.find(p.Value);
                if (handler == handlers_.end())
                    throw EReadError(Format("メソッド %s が見つかりません", {p.Value}));
                if (!component.SetLayoutEvent(p.Name, handler->second))
                    throw EReadError(Format("プロパティ %s は存在しません", {p.Name}));
            } else if (!component.SetLayoutProperty(p.Name, p.Value)) {
                throw EReadError(Format("プロパティ %s は存在しません", {p.Name}));
            }
        } catch (const Exception& e) {
            throw EReadError(Format("%s%s%s の読み込み中のエラー : %s", {object.Name, ".", p.Name, e.Message()}));
        }
    }
}

void TForm::ReadLayout(const Layout& layout) {
    BeginLoading();
    Name = layout.Form.Name;
    ApplyProperties(*this, layout.Form);
    for (const LayoutObject& object : layout.Components) {
        std::unique_ptr<TComponent> component = CreateComponent(object.ClassName);
        if (!component) throw EReadError(Format("クラス %s が見つかりません", {object.ClassName}));
        component->Name = object.Name;
        component->BeginLoading();
        TComponent* raw = component.get();
        components_.push_back(std::move(component));
        if (auto* control = dynamic_cast<TControl*>(raw)) control->SetParent(this);
        ApplyProperties(*raw, object);
    }
    for (const auto& c : components_) c->Loaded();
    Loaded();
    ScaleForScreen(ScreenLogPixels());
}

bool TForm::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "PixelsPerInch") PixelsPerInch = LayoutInteger(value);
    else if (property == "TextHeight") TextHeight = LayoutInteger(value);
    else if (property == "Scaled") Scaled = LayoutBoolean(value);
    else if (property == "OldCreateOrder") OldCreateOrder = LayoutBoolean(value);
    else if (property == "ClientWidth") clientWidth_ = LayoutInteger(value);
    else if (property == "ClientHeight") clientHeight_ = LayoutInteger(value);
    else return TWinControl::SetLayoutProperty(property, value);
    return true;
}

void TForm::ScaleForScreen(int screenPixelsPerInch) {
    if (!Scaled || screenPixelsPerInch == PixelsPerInch || PixelsPerInch <= 0) return;
    Font().Height = ScaleOfResolution(screenPixelsPerInch, PixelsPerInch)(Font().Height);
    FontChanged();
    const TScreenScale scale = ScaleOfFont(Font(), TextHeight);
    if (!scale.Unscaled()) {
        for (const auto& c : components_) {
            auto* control = dynamic_cast<TControl*>(c.get());
            if (!control) continue;
            control->SetBounds(scale(control->Left()), scale(control->Top()), scale(control->Width()),
                               scale(control->Height()));
            if (!control->ParentFont()) {
                control->Font().Height = scale(control->Font().Height);
                control->FontChanged();
            }
        }
        SetBounds(Left(), Top(), scale(Width()), scale(Height()));
        clientWidth_ = scale(clientWidth_);
        clientHeight_ = scale(clientHeight_);
        TextHeight = scale.Numerator;
    }
    PixelsPerInch = screenPixelsPerInch;
}

namespace {

DWORD FormStyle(TFormBorderStyle border) {
    if (border == bsSizeToolWin) return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD FormExStyle(TFormBorderStyle border) { return border == bsSizeToolWin ? WS_EX_TOOLWINDOW : 0; }

}  // namespace

void TForm::CreateHandle() {
    RegisterFormClass(ClassName(), &TWinControl::StandardWindowProc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int32_t width = Width(), height = Height();
    if (clientWidth_ > 0 || clientHeight_ > 0) {
        RECT r{0, 0, clientWidth_, clientHeight_};
        AdjustWindowRectEx(&r, FormStyle(BorderStyle), FALSE, FormExStyle(BorderStyle));
        if (clientWidth_ > 0) width = r.right - r.left;
        if (clientHeight_ > 0) height = r.bottom - r.top;
    }
    HWND window = CreateWindowExA(FormExStyle(BorderStyle), ClassName(), Caption().c_str(), FormStyle(BorderStyle),
                                  Left(), Top(), width, height, OwnerWindow, nullptr, instance,
                                  static_cast<TWinControl*>(this));
    if (!window) throw EOutOfResources("ウィンドウを作成できません");
    CreateChildHandles();
    AlignControls();
}

int32_t TForm::ClientWidth() const {
    RECT r{0, 0, 0, 0};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r.right;
}

int32_t TForm::ClientHeight() const {
    RECT r{0, 0, 0, 0};
    if (hwnd_) GetClientRect(hwnd_, &r);
    return r.bottom;
}

void TForm::SetClientSize(int32_t width, int32_t height) {
    if (!hwnd_) {
        clientWidth_ = width;
        clientHeight_ = height;
        return;
    }
    // What the frame adds, measured on the live window (the system may draw it otherwise
    // than AdjustWindowRectEx predicts).
    RECT outer, client;
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    SetBounds(outer.left, outer.top, width + (outer.right - outer.left) - client.right,
              height + (outer.bottom - outer.top) - client.bottom);
}

int TForm::ShowModal() {
    HWND window = Handle();
    if (Position == poScreenCenter) {
        RECT r;
        GetWindowRect(window, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        SetBounds((GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h);
    }
    HWND active = GetActiveWindow();
    // A control that holds the mouse (the double-click that opened this form) lets go:
    // the new window must get the pointer's input.
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (ApplicationExists()) Application().HideHint();
    ModalResult = 0;
    modal_ = true;
    int result = 0;
    {
        auto disabled = std::make_unique<TaskWindowsDisabled>(window);
        ShowWindow(window, SW_SHOWNORMAL);
        SetActiveWindow(window);
        MSG message{};
        while (ModalResult == 0 && IsWindow(window)) {
            BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                // The outer loop must end too; a failed wait fills in no exit code.
                PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
                break;
            }
            try {
                TranslateMessage(&message);
                if (message.message == WM_CHAR && KeyPreview && OnKeyPress &&
                    (message.hwnd == window || IsChild(window, message.hwnd))) {
                    char key = static_cast<char>(message.wParam);
                    OnKeyPress(this, key);
                    if (key == 0) continue;
                    message.wParam = static_cast<BYTE>(key);
                }
                DispatchMessageA(&message);
                // As in the main loop: bitmaps' drawing contexts do not outlive a message.
                FreeMemoryContexts();
            } catch (...) {
                if (ApplicationExists()) Application().HandleException();
            }
        }
        result = ModalResult;
        modal_ = false;
        // The others are enabled before this one is hidden, as a dialog box ends: hiding the
        // active window activates its owner only if the owner can take the activation;
        // otherwise the system activates another program's window.
        disabled.reset();
        if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    }
    if (active && IsWindow(active)) SetActiveWindow(active);
    return result;
}

void TForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    TWinControl::SetBounds(left, top, width, height);
}

void TForm::TextChanged() {
    if (hwnd_) SetWindowTextA(hwnd_, Caption().c_str());
}

void TForm::ColorChanged() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TForm::FontWasChanged() {}

void TForm::Show(int showCommand) {
    HWND window = Handle();
    ShowWindow(window, showCommand);
    UpdateWindow(window);
}

void TForm::Close() {
    if (modal_) {
        if (ModalResult == 0) ModalResult = IDCANCEL;
        return;
    }
    if (hwnd_) DestroyWindow(hwnd_);
}

bool TForm::Active() const { return hwnd_ && GetActiveWindow() == hwnd_; }

void TForm::Paint(HDC dc, const RECT& region) {
    // The form draws nothing of its own beyond the background; its controls follow.
    PaintControls(dc, region);
}

void TForm::FocusFirstControl() {
    if (savedFocus_ && IsWindow(savedFocus_) && IsChild(hwnd_, savedFocus_) && IsWindowEnabled(savedFocus_)) {
        SetFocus(savedFocus_);
        return;
    }
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (first && IsWindowEnabled(first)) SetFocus(first);
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT r;
        GetClipBox(dc, &r);
        OwnedBrush brush(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, brush.get());
        return 1;
    }
    case WM_PAINT: {
        PaintSession paint(hwnd_);
        Paint(paint.dc(), paint.region());
        return 0;
    }
    case WM_LBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        mouseTarget_ = ControlAtPos(p);
        if (mouseTarget_) SetCapture(hwnd_);
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        TControl* target = mouseTarget_;
        mouseTarget_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
        if (target) {
            TRect b = target->BoundsRect();
            if (p.x >= b.Left && p.x < b.Right && p.y >= b.Top && p.y < b.Bottom && target->Enabled())
                target->Click();
        }
        return 0;
    }
    case WM_CANCELMODE:
        mouseTarget_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
        break;
    case WM_CAPTURECHANGED:
        mouseTarget_ = nullptr;
        break;
    case WM_COMMAND:
        if (lParam && HIWORD(wParam) == BN_CLICKED) {
            for (TControl* c : Controls())
                if (auto* button = dynamic_cast<TButton*>(c))
                    if (button->WindowHandle() == reinterpret_cast<HWND>(lParam)) {
                        button->Click();
                        return 0;
                    }
        }
        return 0;
    case DM_GETDEFID: {
        // The focused push button is the one Enter presses.
        HWND focus = GetFocus();
        for (TControl* c : Controls())
            if (auto* button = dynamic_cast<TButton*>(c))
                if (focus && button->WindowHandle() == focus)
                    return MAKELRESULT(button->ControlId(), DC_HASDEFID);
        return 0;
    }
    case WM_QUERYNEWPALETTE: {
        // Realise the palette of the first control that has one (8-bit displays only).
        HPALETTE palette = nullptr;
        for (TControl* c : Controls())
            if ((palette = c->Palette()) != nullptr) break;
        if (!palette) break;
        HDC dc = GetDC(hwnd_);
        if (!dc) return 0;
        HPALETTE old = SelectPalette(dc, palette, FALSE);
        UINT changed = RealizePalette(dc);
        SelectPalette(dc, old, TRUE);
        ReleaseDC(hwnd_, dc);
        if (changed) InvalidateRect(hwnd_, nullptr, FALSE);
        return changed != 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
        } else if (ApplicationExists()) {
            Application().SetActiveForm(this);
        }
        break;
    case WM_SETFOCUS:
        FocusFirstControl();
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) AlignControls();
        if (resizing_) resized_ = true;
        break;
    case WM_ENTERSIZEMOVE:
        resizing_ = true;
        resized_ = false;
        break;
    case WM_EXITSIZEMOVE:
        resizing_ = false;
        // What was drawn for the sizes passed through is drawn once more for the last one.
        if (resized_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        resized_ = false;
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_DESTROY:
        if (ApplicationExists()) Application().FormDestroyed(this);
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}
