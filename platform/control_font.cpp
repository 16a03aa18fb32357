#include "platform/control_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace vizmo::platform {

QFont controlFont(bool bold)
{
    static const QString family = [] {
        const QString preferred = QStringLiteral("MS Sans Serif");
        if (QFontDatabase::families().contains(preferred, Qt::CaseInsensitive))
            return preferred;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family);
    font.setPointSizeF(kControlFontPointSize);
    font.setBold(bold);
    return font;
}

}  // namespace vizmo::platform
