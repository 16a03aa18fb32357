#include "platform/control_font.h"

#include <QFontDatabase>

namespace vizmo::platform {

QFont controlFont(bool bold)
{
    static const QString family = [] {
        // The captions were sized for MS Sans Serif; fonts with Arial's widths come
        // next, as a wider system font would cut captions such as "StrengthMode".
        for (const char* name : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans",
                                 "Helvetica"}) {
            if (QFontDatabase::hasFamily(QLatin1String(name)))
                return QString::fromLatin1(name);
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family);
    font.setPointSizeF(kControlFontPointSize);
    font.setBold(bold);
    return font;
}

}  // namespace vizmo::platform
