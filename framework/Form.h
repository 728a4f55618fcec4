// A top-level window built from its stored layout: it owns its components, paints its
// graphic controls in list order and routes mouse clicks to them.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "framework/Control.h"
#include "framework/Layout.h"

enum TFormBorderStyle { bsSizeable, bsSizeToolWin };
enum TPosition { poDesigned, poScreenCenter };
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;
    const char* ClassName() const noexcept override { return "TForm"; }

    // Builds the form from the RCDATA layout `resourceName` of the executable.
    void ReadLayoutResource(const char* resourceName);
    // Builds the form from a parsed layout. A failing property raises EReadError
    // "<component>.<property> の読み込み中のエラー : <message>".
    void ReadLayout(const Layout& layout);

    void Show(int showCommand = SW_SHOWNORMAL);
    // Shows the form with every other window of the program disabled and runs messages
    // until it is closed; then hides it and gives the activation back.
    int ShowModal();
    // Ends a modal run; a form that is not modal is destroyed.
    void Close();
    int ModalResult = 0;
    bool Active() const;
    // True while the user drags the window's frame (the system's sizing loop runs):
    // pictures then draw what they have rather than remake it at every step.
    bool Resizing() const { return resizing_; }

    // The live form whose window is `window`, or none.
    static TForm* FromHandle(HWND window);

    TComponent* FindComponent(const std::string& name) const;
    const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }
    // The component `name`, which must be of class T (else EReadError).
    template <class T>
    T* Component(const std::string& name) const {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c) MissingComponent(name);
        return c;
    }

    TFormBorderStyle BorderStyle = bsSizeable;
    TPosition Position = poDesigned;
    // The window that owns the form's window (stays under it); none: unowned.
    HWND OwnerWindow = nullptr;
    // The form sees typed characters before its controls do; a handler that sets the key
    // to 0 consumes it.
    bool KeyPreview = false;
    TKeyPressEvent OnKeyPress;
    // The client area's size; setting it sizes the window around it.
    int32_t ClientWidth() const;
    int32_t ClientHeight() const;
    void SetClientSize(int32_t width, int32_t height);

    int32_t PixelsPerInch = 96;
    int32_t TextHeight = 12;
    bool Scaled = true;
    bool OldCreateOrder = false;

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
    // The outer frame's place and size on the screen.
    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Scales to a screen of `screenPixelsPerInch`: the form's font by the ratio of the
    // resolutions, then, when the text height of that font differs from TextHeight, every
    // control's position and size (and the client size) by the ratio of the text heights.
    void ScaleForScreen(int screenPixelsPerInch);

protected:
    // Makes the component a layout names by class; the base knows TButton.
    virtual std::unique_ptr<TComponent> CreateComponent(const std::string& className);
    // Makes a handler known to the layout under `name` ("Image1Click").
    void RegisterHandler(const std::string& name, TNotifyEvent handler);
    void CreateHandle() override;
    void TextChanged() override;
    void ColorChanged() override;
    void FontWasChanged() override;

private:
    [[noreturn]] static void MissingComponent(const std::string& name);
    void ApplyProperties(TComponent& component, const LayoutObject& object);
    void Paint(HDC dc, const RECT& region);
    void FocusFirstControl();

    std::vector<std::unique_ptr<TComponent>> components_;
    std::map<std::string, TNotifyEvent> handlers_;
    TControl* mouseTarget_ = nullptr;
    HWND savedFocus_ = nullptr;
    bool modal_ = false;
    bool resizing_ = false, resized_ = false;  // in the sizing loop; sized in it
    int32_t clientWidth_ = 0, clientHeight_ = 0;  // from the layout, when given
};
