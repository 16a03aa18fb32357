#pragma once
// The run-time errors the controls raise, naming the member that failed
// ("Slider1.Value").

#include <QString>

namespace vizmo::platform {

// "Invalid property array index": an index property (Selected, List) beyond its entries.
inline constexpr int kInvalidArrayIndex = 381;

[[noreturn]] void throwControlError(int number, const QString& controlName, const char* property);
[[noreturn]] void throwInvalidPropertyValue(const QString& controlName, const char* property);

}  // namespace vizmo::platform
