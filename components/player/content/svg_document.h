#pragma once
// A drawing as librsvg reads and draws it: SVG 1.1 and much of SVG 2 with its
// CSS (clip paths, masks, filters, <symbol>, classes), as Inkscape shows the
// file. The document is parsed once; any element is then rendered in its
// place in the whole document, through the groups around it (their
// transforms, opacity, clips, masks and filters), into an image.
//
// Nothing outside the file is loaded: the document has no base file, so
// librsvg follows no reference but to this file's own elements (and
// svg_safety refuses a file that has any other before it gets here).
// librsvg's own limits stay on.
//
// One document is used by one thread at a time: it is read on a worker and
// drawn on the user-interface thread. librsvg and cairo share caches (fonts)
// between documents, so every call into them holds one lock of the process.
//
// Leaving elements out takes a user style sheet, and librsvg keeps what a
// style sheet set through any later one: the document is parsed once for
// each set of elements left out, the first time it is asked for, and kept.

#include "components/player/content/load_result.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <map>
#include <memory>

namespace vizmo::player {

class SvgDocument {
public:
    // Parses `bytes` (already checked by checkDrawing); a document librsvg
    // cannot read is refused with error 321 naming `displayName` and
    // librsvg's reason.
    static LoadResult<std::shared_ptr<const SvgDocument>> parse(const QByteArray& bytes, const QString& displayName);
    ~SvgDocument();
    SvgDocument(const SvgDocument&) = delete;
    SvgDocument& operator=(const SvgDocument&) = delete;

    // The page in the drawing's own units: its viewBox, or without one its
    // width and height in pixels (at 96 per inch). Empty when it has neither.
    QRectF page() const { return page_; }

    // Draws the element `id` (the whole document when empty) onto `image`
    // (Format_ARGB32_Premultiplied), in its place, the drawing's units
    // mapped to the image's pixels by `toPixels`. The elements that the CSS
    // selectors of `hidden` choose are left out (a layer drawn inside
    // another is drawn on its own).
    // False with `error` set when librsvg refuses; nothing is drawn then.
    bool render(QImage& image, const QTransform& toPixels, const QString& id, const QStringList& hidden = {},
                QString* error = nullptr) const;
    // The same with every element shown, whatever its style says: markers
    // kept in a hidden group are measured this way.
    bool renderShown(QImage& image, const QTransform& toPixels, const QString& id) const;

    // What librsvg takes the element to cover, strokes included and clips
    // not taken into account, in the drawing's units: a cheap, generous
    // extent that reaches as far as the file does. Empty when it has none.
    QRectF inkBounds(const QString& id) const;

    // The CSS selector of the element whose id is `id`, escaped as CSS asks.
    static QString selectorOf(const QString& id);

private:
    struct Handle;
    SvgDocument(QByteArray bytes, std::unique_ptr<Handle> plain, QRectF page);
    static std::unique_ptr<Handle> read(const QByteArray& bytes, const QByteArray& style, QString* error);
    bool draw(Handle& handle, QImage& image, const QTransform& toPixels, const QString& id, QString* error) const;

    QByteArray bytes_;
    QRectF page_;
    // The document as read with each user style sheet ("" for none).
    mutable std::map<QByteArray, std::unique_ptr<Handle>> variants_;
};

}  // namespace vizmo::player
