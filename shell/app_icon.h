#pragma once
// The window's icon: a small face of our own, drawn at 32 x 32 pixels. The
// same drawing scaled to other sizes gives the menu icons of the package.

#include <QIcon>
#include <QImage>

namespace vizmo::shell {

QIcon appIcon();

// The face drawn on a transparent square of size x size pixels.
QImage appIconImage(int size);

}  // namespace vizmo::shell
