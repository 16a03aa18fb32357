#include "components/player/content/artwork_model.h"

#include "components/dispatch/error.h"
#include "components/player/content/missing_file.h"
#include "components/player/content/svg_safety.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QSvgRenderer>

#include <cmath>

namespace vizmo::player {

namespace {

namespace err = dispatch::err;

// The names a drawing gives its layers, in ArtLayer's order. Words a person
// would write in any editor, lower case and hyphenated as ids usually are.
const std::array<QString, kArtLayerCount>& layerNames()
{
    static const std::array<QString, kArtLayerCount> names = {
        QStringLiteral("back-hair"),        QStringLiteral("neck"),           QStringLiteral("body"),
        QStringLiteral("ears"),             QStringLiteral("head"),           QStringLiteral("eye-left-white"),
        QStringLiteral("eye-left-iris"),    QStringLiteral("eye-left-lid"),   QStringLiteral("eye-left-lashes"),
        QStringLiteral("eye-right-white"),  QStringLiteral("eye-right-iris"), QStringLiteral("eye-right-lid"),
        QStringLiteral("eye-right-lashes"), QStringLiteral("brow-left"),      QStringLiteral("brow-right"),
        QStringLiteral("nose"),             QStringLiteral("mouth-rest"),     QStringLiteral("mouth-closed"),
        QStringLiteral("mouth-f"),          QStringLiteral("mouth-open"),     QStringLiteral("mouth-wide"),
        QStringLiteral("mouth-round"),      QStringLiteral("front-hair"),     QStringLiteral("accessories"),
    };
    return names;
}

const QString kHeadPivot = QStringLiteral("pivot-head");
const std::array<QString, 2> kEyePivots = {QStringLiteral("pivot-eye-left"), QStringLiteral("pivot-eye-right")};

LoadError refusal(const QString& displayName, const QString& what)
{
    return {err::InvalidFileFormat, QStringLiteral("%1: %2").arg(displayName, what)};
}

bool finite(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// Finds the element a layer name stands for: the element with that id, or
// the element of an Inkscape layer of that name.
QString elementFor(const QSvgRenderer& svg, const DrawingOutline& outline, const QString& name)
{
    if (svg.elementExists(name))
        return name;
    const QString id = outline.labelIds.value(name);
    return !id.isEmpty() && svg.elementExists(id) ? id : QString();
}

// Where the element lies in the drawing, the groups around it included.
QRectF placedBounds(const QSvgRenderer& svg, const QString& id)
{
    return svg.transformForElement(id).mapRect(svg.boundsOnElement(id));
}

class ArtworkReader {
public:
    ArtworkReader(QSvgRenderer& svg, const DrawingOutline& outline, const QString& displayName)
        : svg_(svg), outline_(outline), name_(displayName)
    {
    }

    LoadResult<std::shared_ptr<const Artwork>> read(std::shared_ptr<QSvgRenderer> owner)
    {
        auto art = std::make_shared<Artwork>();
        art->fileName = name_;
        ArtworkGeometry& g = art->geometry;
        g.frame = svg_.viewBoxF();
        if (!outline_.sized || !finite(g.frame) || g.frame.width() <= 0 || g.frame.height() <= 0)
            return refusal(name_, QStringLiteral("it has no size: give its <svg> a viewBox, or a width and a height"));
        // Layers may reach past the frame (hair, shoulders), but what lies far
        // outside it never shows, and is not kept.
        const QRectF reach = g.frame.adjusted(-g.frame.width() / 4, -g.frame.height() / 4, g.frame.width() / 4,
                                              g.frame.height() / 4);
        for (int i = 0; i < kArtLayerCount; ++i) {
            const auto layer = ArtLayer(i);
            const QString id = elementFor(svg_, outline_, artLayerName(layer));
            if (id.isEmpty())
                continue;
            // Hidden, it would be drawn as nothing: a layer hidden while
            // another was drawn is easily saved that way.
            if (outline_.hiddenIds.contains(id))
                return refusal(name_, QStringLiteral("its layer \"%1\" is hidden (display:none or visibility:hidden); "
                                                     "the player draws layers as they are saved: show it")
                                          .arg(artLayerName(layer)));
            const QRectF placed = placedBounds(svg_, id);
            if (!finite(placed))
                return refusal(name_, QStringLiteral("its layer \"%1\" has no finite size").arg(artLayerName(layer)));
            art->elements[std::size_t(i)] = {id, svg_.boundsOnElement(id), svg_.transformForElement(id)};
            g.bounds[std::size_t(i)] = placed & reach;
        }
        if (!g.has(ArtLayer::Head))
            return refusal(name_, svg_.elementExists(artLayerName(ArtLayer::Head))
                                      ? QStringLiteral("its layer \"head\" is empty or lies outside the drawing's frame")
                                      : QStringLiteral("it has no layer \"head\" (an element with id=\"head\")"));
        if (!hasMouth(g))
            return refusal(name_, QStringLiteral("it has no mouth: draw at least one of the layers %1").arg(mouthNames()));
        placePivots(g);
        art->svg = std::move(owner);
        return std::shared_ptr<const Artwork>(std::move(art));
    }

private:
    static bool hasMouth(const ArtworkGeometry& g)
    {
        for (int m = 0; m < kMouthShapeCount; ++m) {
            if (g.has(ArtLayer(int(kFirstMouth) + m)))
                return true;
        }
        return false;
    }

    static QString mouthNames()
    {
        QStringList names;
        for (int m = 0; m < kMouthShapeCount; ++m)
            names << QStringLiteral("\"%1\"").arg(artLayerName(ArtLayer(int(kFirstMouth) + m)));
        return names.join(QStringLiteral(", "));
    }

    // A pivot is a marker's centre; without one, the head turns about the
    // top of its neck, a little above the chin, and an iris rests where it is
    // drawn.
    void placePivots(ArtworkGeometry& g) const
    {
        const QRectF head = g[ArtLayer::Head];
        g.headPivot = marker(kHeadPivot).value_or(QPointF(head.center().x(), head.bottom() - 0.12 * head.height()));
        for (std::size_t e = 0; e < 2; ++e) {
            const EyeLayers& eye = eyeLayers()[e];
            const QRectF rest = g.has(eye.iris) ? g[eye.iris] : g[eye.white];
            g.eyePivots[e] = marker(kEyePivots[e]).value_or(rest.center());
        }
    }

    std::optional<QPointF> marker(const QString& name) const
    {
        const QString id = elementFor(svg_, outline_, name);
        if (id.isEmpty())
            return std::nullopt;
        const QPointF centre = placedBounds(svg_, id).center();
        if (!std::isfinite(centre.x()) || !std::isfinite(centre.y()))
            return std::nullopt;
        return centre;
    }

    QSvgRenderer& svg_;
    const DrawingOutline& outline_;
    QString name_;
};

}  // namespace

QString artLayerName(ArtLayer layer)
{
    return layerNames()[std::size_t(layer)];
}

const std::array<EyeLayers, 2>& eyeLayers()
{
    static const std::array<EyeLayers, 2> eyes = {{
        {ArtLayer::LeftEyeWhite, ArtLayer::LeftEyeIris, ArtLayer::LeftEyeLid, ArtLayer::LeftEyeLashes},
        {ArtLayer::RightEyeWhite, ArtLayer::RightEyeIris, ArtLayer::RightEyeLid, ArtLayer::RightEyeLashes},
    }};
    return eyes;
}

LoadResult<std::shared_ptr<const Artwork>> readArtwork(const QByteArray& bytes, const QString& displayName)
{
    const auto outline = checkDrawing(bytes, displayName);
    if (!outline.ok())
        return outline.error();
    auto svg = std::make_shared<QSvgRenderer>();
    if (!svg->load(bytes))
        return refusal(displayName, QStringLiteral("Qt SVG cannot read it as a drawing"));
    // Read on a worker, drawn on the user-interface thread: the renderer is
    // handed to that thread, as Qt asks of an object used there.
    if (const QCoreApplication* app = QCoreApplication::instance())
        svg->moveToThread(app->thread());
    QSvgRenderer& renderer = *svg;
    return ArtworkReader(renderer, outline.value(), displayName).read(std::move(svg));
}

LoadResult<std::shared_ptr<const Artwork>> loadArtwork(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return LoadError{err::FileNotFound, fileNotFoundMessage(path)};
    // Refused before it is read, as a model or a script is.
    if (info.size() > kMaxDrawingBytes)
        return refusal(info.fileName(), QStringLiteral("the drawing is larger than %1 bytes").arg(kMaxDrawingBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadError{err::PathNotFound, QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString())};
    return readArtwork(file.read(kMaxDrawingBytes + 1), info.fileName());
}

}  // namespace vizmo::player
