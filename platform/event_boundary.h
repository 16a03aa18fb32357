#pragma once
// Every notification a control raises runs its handler through here. A run-time
// error ends that handler only: it goes to the reporter, and whoever raised the
// notification (the user, or code that set a control's value and so ran the
// handler nested) carries on.
//
// While a component call waits (components/dispatch/call_wait.h) no handler
// may start: raiseNotification holds it until that call has returned.

#include <functional>

namespace vizmo::platform {

class ErrorReporter;

void runHandler(ErrorReporter& reporter, const std::function<void()>& handler);

// Runs the handler through the boundary now, or holds a copy of it while a
// call waits; `owner` forgets what it holds when it goes, and held entries of
// one `coalesce` key run once. A held handler must own what it uses: it runs
// after the code that raised it has returned, so it captures values, never
// references to that code's locals. Only `reporter` is kept by reference: it
// outlives every owner that reports to it.
void raiseNotification(ErrorReporter& reporter, const void* owner, const std::function<void()>& handler,
                       const void* coalesce = nullptr);

}  // namespace vizmo::platform
