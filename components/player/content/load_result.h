#pragma once
// The outcome of reading a model, script or image: the loaded value, or the
// error number and a description that names the file (and the line, for text).

#include <QString>

#include <optional>
#include <utility>

namespace vizmo::player {

struct LoadError {
    int number = 0;
    QString description;
};

template <typename T>
class LoadResult {
public:
    LoadResult(T value) : value_(std::move(value)) {}         // NOLINT: implicit on purpose
    LoadResult(LoadError error) : error_(std::move(error)) {}  // NOLINT

    bool ok() const { return value_.has_value(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const LoadError& error() const { return error_; }

private:
    std::optional<T> value_;
    LoadError error_;
};

}  // namespace vizmo::player
