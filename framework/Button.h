// A push button: a child window of the system's "BUTTON" class in the parent's font.
#pragma once
#include "framework/Control.h"

class TButton : public TWinControl {
public:
    TButton();
    const char* ClassName() const noexcept override { return "TButton"; }

    // The child-window identifier the button's notifications carry.
    int ControlId() const { return id_; }

protected:
    void CreateHandle() override;
    void TextChanged() override;
    void FontWasChanged() override;
    void EnabledChanged() override;

private:
    int id_;
};
