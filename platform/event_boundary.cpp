#include "platform/event_boundary.h"

#include "components/dispatch/call_wait.h"
#include "components/dispatch/error.h"
#include "platform/error_reporter.h"

namespace vizmo::platform {

void runHandler(ErrorReporter& reporter, const std::function<void()>& handler)
{
    if (!handler)
        return;
    try {
        handler();
    } catch (const dispatch::RuntimeError& error) {
        reporter.report(error);
    }
}

void raiseNotification(ErrorReporter& reporter, const void* owner, const std::function<void()>& handler,
                       const void* coalesce)
{
    if (!handler)
        return;
    if (dispatch::callWaiting()) {
        dispatch::holdUntilCallReturns(owner, [&reporter, handler] { runHandler(reporter, handler); }, coalesce);
        return;
    }
    runHandler(reporter, handler);
}

}  // namespace vizmo::platform
