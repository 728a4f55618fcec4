// The application's hint window: one small borderless popup that shows the tooltip of
// the control under the pointer, and is hidden again when the pointer leaves it.
#pragma once
#include <windows.h>
#include <string>

class THintWindow {
public:
    THintWindow() = default;
    ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // Shows `text` with the window's top left at the screen point `at`, without taking
    // the activation from the window under it.
    void ActivateHint(const std::string& text, POINT at);
    void Hide();
    bool Showing() const { return hwnd_ && IsWindowVisible(hwnd_); }
    HWND Handle() const { return hwnd_; }
    const std::string& Text() const { return text_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    std::string text_;
};

// The hint rules of a windowed control that holds windowless ones: call from its window
// procedure with every mouse message; after a pause over a control whose ShowHint holds,
// the application's hint window shows its Hint, and goes when the pointer moves off it or
// a button is pressed.
class TControl;
class TWinControl;
class HintTracker {
public:
    void MouseMessage(TWinControl& owner, UINT message, LPARAM lParam);
    void Timer(TWinControl& owner, WPARAM id);
    static constexpr UINT_PTR kTimerId = 0x4854;  // "HT"

private:
    TControl* pending_ = nullptr;
};
