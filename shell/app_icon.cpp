#include "shell/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vizmo::shell {

QImage appIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);  // drawn in the coordinates of the 32-pixel icon
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x22), 1.2));
    p.setBrush(QColor(0xf1, 0xc2, 0x9a));
    p.drawEllipse(QRectF(5, 3, 22, 26));                    // face
    p.setBrush(QColor(0x4a, 0x2c, 0x18));
    p.drawChord(QRectF(4, 1, 24, 18), 0, 180 * 16);        // hair
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x33, 0x55));
    p.drawEllipse(QRectF(10.5, 13, 3.5, 4));               // eyes
    p.drawEllipse(QRectF(18, 13, 3.5, 4));
    p.setBrush(QColor(0xb0, 0x3a, 0x3a));
    p.drawChord(QRectF(11, 18, 10, 7), 180 * 16, 180 * 16);  // open smile
    p.end();
    return image;
}

QIcon appIcon() { return QIcon(QPixmap::fromImage(appIconImage(32))); }

}  // namespace vizmo::shell
