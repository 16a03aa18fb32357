#pragma once
// Every notification a control raises runs its handler through here. A run-time
// error ends that handler only: it goes to the reporter, and whoever raised the
// notification (the user, or code that set a control's value and so ran the
// handler nested) carries on.

#include <functional>

namespace vizmo::platform {

class ErrorReporter;

void runHandler(ErrorReporter& reporter, const std::function<void()>& handler);

}  // namespace vizmo::platform
