#include "components/dispatch/ole_color.h"

#include "components/dispatch/error.h"

#include <QGuiApplication>
#include <QPalette>

namespace vizmo::dispatch {

bool isSystemColor(std::uint32_t ole) { return (ole & kSystemColorFlag) != 0; }

bool isValidColor(std::uint32_t ole)
{
    if (isSystemColor(ole))
        return (ole & 0x7FFFFF00u) == 0 && (ole & 0xFFu) < kSystemColorCount;
    return (ole & 0xFF000000u) == 0;
}

QString invalidColorDescription(const QString& property, std::uint32_t ole)
{
    return QStringLiteral("%1: %2 &H%3 is neither a colour &H00BBGGRR nor a system colour &H800000nn (nn below %4)")
        .arg(standardDescription(err::InvalidPropertyValue), property,
             QString::number(ole, 16).toUpper().rightJustified(8, u'0'))
        .arg(kSystemColorCount);
}

namespace {
QColor systemColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 0: return palette.color(QPalette::Button);            // scroll bars
    case 1: return palette.color(QPalette::Dark);              // desktop
    case 2: return palette.color(QPalette::Highlight);         // active title bar
    case 3: return palette.color(QPalette::Mid);               // inactive title bar
    case 4: return palette.color(QPalette::Window);            // menu bar
    case 5: return palette.color(QPalette::Base);              // window background
    case 6: return palette.color(QPalette::Shadow);            // window frame
    case 7: return palette.color(QPalette::WindowText);        // menu text
    case 8: return palette.color(QPalette::Text);              // window text
    case 9: return palette.color(QPalette::HighlightedText);   // title bar text
    case 10: return palette.color(QPalette::Midlight);         // active border
    case 11: return palette.color(QPalette::Midlight);         // inactive border
    case 12: return palette.color(QPalette::Dark);             // application workspace
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);           // button face
    case 16: return palette.color(QPalette::Dark);             // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);  // grey text
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::Disabled, QPalette::WindowText);  // inactive title text
    case 20: return palette.color(QPalette::Light);            // button highlight
    case 21: return palette.color(QPalette::Shadow);           // 3-D dark shadow
    case 22: return palette.color(QPalette::Midlight);         // 3-D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    default: return palette.color(QPalette::Window);
    }
}
}  // namespace

QColor toQColor(std::uint32_t ole)
{
    if (isSystemColor(ole))
        return systemColor(int(ole & 0xFFu));
    return QColor(int(ole & 0xFFu), int((ole >> 8) & 0xFFu), int((ole >> 16) & 0xFFu));
}

std::uint32_t fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8) | (std::uint32_t(rgb.blue()) << 16);
}

}  // namespace vizmo::dispatch
