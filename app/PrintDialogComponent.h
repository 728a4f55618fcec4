// The print dialog as a component of the main window's layout: the layout's "Copies"
// reaches the dialog (and through it the printer object).
#pragma once
#include "dialogs/PrintDialog.h"
#include "framework/Component.h"

class TPrintDialogComponent : public TComponent {
public:
    const char* ClassName() const noexcept override { return "TPrintDialog"; }
    TPrintDialog Dialog;
    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
};
