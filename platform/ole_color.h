#pragma once
// The window's controls take colours as 0x00BBGGRR values or system colour
// references, converted as everywhere else in the program.

#include "components/dispatch/ole_color.h"

namespace vizmo::platform {

using dispatch::fromQColor;
using dispatch::isSystemColor;
using dispatch::kSystemColorFlag;
using dispatch::toQColor;

}  // namespace vizmo::platform
