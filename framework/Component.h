// The base of everything a window's stored layout creates: a named object that takes
// its property values as text from the layout.
#pragma once
#include <string>
#include "rtl/Object.h"

class TComponent : public TObject {
public:
    const char* ClassName() const noexcept override { return "TComponent"; }

    std::string Name;

    // Applies one property read from a stored layout; false when the component has no
    // property of that name. Bad values fail with EReadError.
    virtual bool SetLayoutProperty(const std::string& property, const std::string& value) {
        return false;
    }
    // Connects an event ("OnClick", ...) read from a stored layout to `handler`; false when
    // the component has no such event.
    virtual bool SetLayoutEvent(const std::string& event, const TNotifyEvent& handler) {
        return false;
    }

    // While a component is read from its layout, property writes do not repaint or resize.
    void BeginLoading() { loading_ = true; }
    // Called once all components of the layout are read.
    virtual void Loaded() { loading_ = false; }
    bool Loading() const { return loading_; }

private:
    bool loading_ = false;
};
