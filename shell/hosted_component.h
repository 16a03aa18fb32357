#pragma once
// A component as the window hosts it: its dispatch interface, and the widget
// that the window places on itself.

#include "components/dispatch/object.h"

class QWidget;

namespace vizmo::shell {

struct HostedComponent {
    dispatch::Object& object;
    QWidget* widget;
};

}  // namespace vizmo::shell
