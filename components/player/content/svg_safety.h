#pragma once
// A drawing (SVG) comes from anyone and is read before librsvg sees it: the
// checks a hostile or damaged file must pass. Nothing outside the file is
// followed: no linked or embedded pictures (a picture's decoder allocates on
// its header's word), no style sheets or fonts, no entities; the file's size,
// its number of elements, their nesting and what <use> repeats are bounded,
// so that parsing and drawing it take bounded time and memory.

#include "components/player/content/load_result.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace vizmo::player {

inline constexpr qint64 kMaxDrawingBytes = 1024 * 1024;
inline constexpr int kMaxDrawingElements = 20000;
inline constexpr int kMaxDrawingDepth = 48;
// Elements drawn in all, each <use> counting what it repeats.
inline constexpr int kMaxDrawnElements = 4 * kMaxDrawingElements;

// One element of the file, as the check met it.
struct OutlineElement {
    QString tag;    // without its prefix: "g", "path"
    QString id;     // empty when it has none
    QString label;  // Inkscape's name for it ("inkscape:label"), shown in its Layers panel
    int parent = -1;
    int line = 0;
    bool masks = false;  // it has a mask
    // Not shown, by its own style or a group's: display none, visibility
    // hidden, or opacity 0.
    bool hidden = false;
};

// What the check learnt on its way through the file.
struct DrawingOutline {
    bool sized = false;  // its <svg> has a viewBox, or a width and a height
    std::vector<OutlineElement> elements;  // in the order of the file: the first is the <svg>

    // Whether `element` lies inside `group` (or is it).
    bool within(int element, int group) const;
};

// Whether an element of this tag is never drawn where it stands: what it
// holds is used by reference (a clip, a gradient, a symbol) or not at all.
bool isDefinitionElement(const QString& tag);

// Refuses (error 321, the description naming `displayName` and the line)
// anything the player does not read, or reads only at a risk.
LoadResult<DrawingOutline> checkDrawing(const QByteArray& bytes, const QString& displayName);

}  // namespace vizmo::player
