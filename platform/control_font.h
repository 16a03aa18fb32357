#pragma once
// The controls' font: "MS Sans Serif" 8.25 pt where it is installed, else a
// font of Arial's widths, else the platform's own sans-serif, always at the
// same point size, so text keeps its size in twips at any resolution.

#include <QFont>

namespace vizmo::platform {

inline constexpr double kControlFontPointSize = 8.25;

QFont controlFont(bool bold = false);

}  // namespace vizmo::platform
