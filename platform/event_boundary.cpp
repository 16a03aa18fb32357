#include "platform/event_boundary.h"

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

}  // namespace vizmo::platform
