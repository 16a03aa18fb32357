#include "platform/cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace vizmo::platform {

bool QtCursor::position(std::int32_t& x, std::int32_t& y) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QPoint at = QCursor::pos() - screen->geometry().topLeft();
    x = at.x();
    y = at.y();
    return true;
}

}  // namespace vizmo::platform
