#pragma once
// An error reporter that keeps every report, for tests to inspect.

#include "components/dispatch/error.h"
#include "platform/error_reporter.h"

#include <vector>

namespace vizmo::testing {

class RecordingErrorReporter : public platform::ErrorReporter {
public:
    void report(const dispatch::RuntimeError& error) override { reports.push_back(error); }
    std::vector<dispatch::RuntimeError> reports;
};

}  // namespace vizmo::testing
