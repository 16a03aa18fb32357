#pragma once
// How the component's strip looks: the text on one line in the fore colour on
// the back colour, the word being spoken drawn inverted, and the line scrolled
// so that word stays in view.

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QFont;

namespace vizmo::speech {

struct StripContent {
    QString text;
    int wordStart = -1;  // UTF-16 range of the word being spoken; -1 for none
    int wordLength = 0;
    QColor back;
    QColor fore;
};

void paintStrip(QPainter& painter, const QRect& area, const StripContent& content);

}  // namespace vizmo::speech
