#pragma once
// Hosts a component's widget on the window: position in twips, the host's
// Visible property, and Validate, raised when the keyboard focus is about to
// leave the component for another control of the window. A handler that sets
// Cancel keeps the focus in the component.
//
// The site never owns the component's widget: when the site or the window
// goes, the widget is handed back unparented and its owner deletes it.

#include "platform/control.h"

namespace vizmo::platform {

class ComponentSite : public Control {
public:
    ComponentSite(QWidget* parent, QWidget* component, ErrorReporter& reporter);
    ~ComponentSite() override;

    QWidget* component() const { return component_; }

    void onValidate(std::function<void(bool& cancel)> handler) { validateHandler_ = std::move(handler); }

private:
    void focusChanged(QWidget* old, QWidget* now);
    bool holds(const QWidget* widget) const;

    QPointer<QWidget> component_;
    std::function<void(bool&)> validateHandler_;
    bool restoring_ = false;
};

}  // namespace vizmo::platform
