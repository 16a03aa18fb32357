#pragma once
// The colour buttons' procedure: a colour dialog of the button's own, the
// chosen colour put into a component's property, and only then the button's
// face painted with it. Cancel and any error after the dialog is set up end
// the procedure quietly, leaving property and face as they were.

#include "components/dispatch/handle.h"

namespace vizmo::platform {
class CommonDialog;
class CommandButton;
}  // namespace vizmo::platform

namespace vizmo::form {

void pickColour(platform::CommonDialog& dialog, const QString& dialogName, platform::CommandButton& button,
                const dispatch::Handle& target, dispatch::DispId property);

}  // namespace vizmo::form
