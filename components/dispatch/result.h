#pragma once
// What a dispatch call returns: a value, or an error.

#include "components/dispatch/error.h"
#include "components/dispatch/variant.h"

#include <optional>

namespace vizmo::dispatch {

class Result {
public:
    Result() = default;                         // success, no value
    Result(Variant value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Error error) : error_(std::move(error)) {}    // NOLINT

    bool ok() const { return !error_.has_value(); }
    const Error& error() const { return *error_; }
    const Variant& value() const { return value_; }

private:
    Variant value_;
    std::optional<Error> error_;
};

}  // namespace vizmo::dispatch
