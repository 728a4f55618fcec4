// The print dialog as the main window's layout creates it: the layout's "Copies" reaches
// the dialog (and through it the printer object).
#pragma once
#include "dialogs/PrintDialog.h"

class TLayoutPrintDialog : public TPrintDialog {
public:
    bool SetLayoutProperty(const std::string& property, const std::string& value) override;
};
