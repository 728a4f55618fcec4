#include "app/PrintDialogComponent.h"
#include "framework/LayoutValues.h"

bool TLayoutPrintDialog::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property != "Copies") return TPrintDialog::SetLayoutProperty(property, value);
    SetCopies(LayoutInteger(value));
    return true;
}
