#include "app/PrintDialogComponent.h"
#include "framework/LayoutValues.h"

bool TPrintDialogComponent::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property != "Copies") return false;
    Dialog.SetCopies(LayoutInteger(value));
    return true;
}
