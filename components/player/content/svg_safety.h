#pragma once
// A drawing (SVG) comes from anyone and is read before Qt SVG sees it: the
// checks a hostile or damaged file must pass. Nothing outside the file is
// followed: no linked or embedded pictures (a picture's decoder allocates on
// its header's word), no style sheets or fonts, no entities; the file's size,
// its number of elements, their nesting and what <use> repeats are bounded,
// so that parsing and drawing it take bounded time and memory.

#include "components/player/content/load_result.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

namespace vizmo::player {

inline constexpr qint64 kMaxDrawingBytes = 1024 * 1024;
inline constexpr int kMaxDrawingElements = 20000;
inline constexpr int kMaxDrawingDepth = 48;
// Elements drawn in all, each <use> counting what it repeats.
inline constexpr int kMaxDrawnElements = 4 * kMaxDrawingElements;

// What the check learnt on its way through the file.
struct DrawingOutline {
    int elements = 0;
    bool sized = false;  // its <svg> has a viewBox, or a width and a height
    // Inkscape keeps a layer's name in "inkscape:label" and gives it an id of
    // its own ("layer3"): the id of each label's first element.
    QHash<QString, QString> labelIds;
    // The ids of elements not shown, by their own style or a group's
    // (display none, visibility hidden).
    QSet<QString> hiddenIds;
};

// Refuses (error 321, the description naming `displayName` and the line)
// anything the player does not read, or reads only at a risk.
LoadResult<DrawingOutline> checkDrawing(const QByteArray& bytes, const QString& displayName);

}  // namespace vizmo::player
