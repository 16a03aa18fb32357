#pragma once
// Colours as the window and the components pass them: 0x00BBGGRR, red in the
// low byte. A value with the top bit set refers to a system colour whose index
// is in the low byte (0x80000007 is menu text, 0x8000000F button face).

#include <QColor>

#include <cstdint>

namespace vizmo::dispatch {

inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;

bool isSystemColor(std::uint32_t ole);
// Resolves system colours through the application's palette.
QColor toQColor(std::uint32_t ole);
std::uint32_t fromQColor(const QColor& color);

}  // namespace vizmo::dispatch
