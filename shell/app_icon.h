#pragma once
// The window's icon: a small face of our own, drawn at 32 x 32 pixels.

#include <QIcon>

namespace vizmo::shell {

QIcon appIcon();

}  // namespace vizmo::shell
