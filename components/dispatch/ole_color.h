#pragma once
// Colours as the window and the components pass them: 0x00BBGGRR, red in the
// low byte. A value with the top bit set refers to a system colour whose index
// is in the low byte (0x80000007 is menu text, 0x8000000F button face).

#include <QColor>
#include <QString>

#include <cstdint>

namespace vizmo::dispatch {

inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;
inline constexpr int kSystemColorCount = 25;  // system colours 0..24

bool isSystemColor(std::uint32_t ole);
// 0x00BBGGRR, or a reference to one of the system colours.
bool isValidColor(std::uint32_t ole);
// The description both components refuse an invalid colour put into
// `property` with, as error 380.
QString invalidColorDescription(const QString& property, std::uint32_t ole);
// Resolves system colours through the application's palette.
QColor toQColor(std::uint32_t ole);
std::uint32_t fromQColor(const QColor& color);

}  // namespace vizmo::dispatch
