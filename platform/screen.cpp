#include "platform/screen.h"

#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace vizmo::platform {

namespace {
constexpr double kStandardDpi = 96.0;

const QScreen* primary() { return QGuiApplication::primaryScreen(); }
}  // namespace

float QtScreen::twipsPerPixelX() const
{
    return float(twipsPerPixelForDpi(primary() ? primary()->logicalDotsPerInchX() : kStandardDpi));
}

float QtScreen::twipsPerPixelY() const
{
    return float(twipsPerPixelForDpi(primary() ? primary()->logicalDotsPerInchY() : kStandardDpi));
}

float QtScreen::width() const { return primary() ? float(primary()->geometry().width()) * twipsPerPixelX() : 0.0f; }

float QtScreen::height() const
{
    return primary() ? float(primary()->geometry().height()) * twipsPerPixelY() : 0.0f;
}

TwipsScale scaleOf(const Screen& screen) { return TwipsScale{screen.twipsPerPixelX(), screen.twipsPerPixelY()}; }

}  // namespace vizmo::platform
