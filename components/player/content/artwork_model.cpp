#include "components/player/content/artwork_model.h"

#include "components/dispatch/error.h"
#include "components/player/content/artwork_measure.h"
#include "components/player/content/layer_pictures.h"
#include "components/player/content/missing_file.h"
#include "components/player/content/svg_safety.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

namespace err = dispatch::err;

LoadError refusal(const QString& displayName, const QString& what)
{
    return {err::InvalidFileFormat, QStringLiteral("%1: %2").arg(displayName, what)};
}

bool finite(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

QString quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

QString pointText(const QRectF& r)
{
    return QStringLiteral("%1 to %2 across, %3 to %4 down")
        .arg(std::round(r.left()))
        .arg(std::round(r.right()))
        .arg(std::round(r.top()))
        .arg(std::round(r.bottom()));
}

// A page this much larger than what is drawn on it (by area) is framed by
// what is drawn, with a margin of this part of the drawing's size.
constexpr double kPageMuchLarger = 4.0;
constexpr double kFrameMargin = 0.06;
// Past this part of the page beyond its edges, a layer's part lies far off
// the page: a body may reach past the bottom edge, a stray bit lies further.
constexpr double kFarOff = 0.25;

class ArtworkReader {
public:
    ArtworkReader(const DrawingOutline& outline, std::shared_ptr<const SvgDocument> svg, const QString& displayName)
        : outline_(outline), svg_(std::move(svg)), name_(displayName)
    {
    }

    LoadResult<std::shared_ptr<const Artwork>> read()
    {
        auto art = std::make_shared<Artwork>();
        art->fileName = name_;
        ArtworkGeometry& g = art->geometry;
        g.page = svg_->page();
        if (!outline_.sized || !finite(g.page) || g.page.width() <= 0 || g.page.height() <= 0)
            return refusal(name_, QStringLiteral("it has no size: give its <svg> a viewBox, or a width and a height"));
        const FoundLayers found = findLayers(outline_);
        for (int i = 0; i < kArtLayerCount; ++i) {
            const NamedElement& named = found.layers[std::size_t(i)];
            if (!named.found())
                continue;
            // Hidden, it would be drawn as nothing: a layer hidden while
            // another was drawn is easily saved that way.
            if (outline_.elements[std::size_t(named.element)].hidden)
                return refusal(name_, QStringLiteral("its layer \"%1\" is hidden (display:none, visibility:hidden or "
                                                     "opacity 0); the player draws layers as they are saved: show it")
                                          .arg(artLayerName(ArtLayer(i))));
            art->ids[std::size_t(i)] = outline_.elements[std::size_t(named.element)].id;
        }
        LayerPictures pictures = pictureLayers(outline_, found);
        art->pictures = std::move(pictures.pictures);
        holds_ = std::move(pictures.holds);
        measureLayers(*art);
        chooseFrame(g);
        const auto& head = art->ids[std::size_t(ArtLayer::Head)];
        if (!head.isEmpty()) {
            const HeadShape shape =
                measureHead(*svg_, art->pictures[std::size_t(ArtLayer::Head)], g[ArtLayer::Head] & g.frame);
            g.headExtent = shape.extent;
            g.headOutline = shape.outline;
        }
        if (g.headExtent.isEmpty())
            return refusal(name_, head.isEmpty()
                                      ? QStringLiteral("it has no layer \"head\" (an element with id=\"head\", or an "
                                                       "Inkscape layer named so)")
                                      : QStringLiteral("its layer \"head\" is empty or lies outside the drawing's frame"));
        if (!hasMouth(g))
            return refusal(name_, QStringLiteral("it has no mouth: draw at least one of the layers %1").arg(mouthNames()));
        placePivots(g, found);
        stack(*art, found);
        describe(*art, found);
        art->svg = svg_;
        return std::shared_ptr<const Artwork>(std::move(art));
    }

private:
    // What each layer draws, as librsvg draws it, within a page's width of
    // the page: what lies further never shows.
    void measureLayers(Artwork& art)
    {
        ArtworkGeometry& g = art.geometry;
        const QRectF reach = g.page.adjusted(-g.page.width(), -g.page.height(), g.page.width(), g.page.height());
        const QRectF near = g.page.adjusted(-kFarOff * g.page.width(), -kFarOff * g.page.height(),
                                            kFarOff * g.page.width(), kFarOff * g.page.height());
        for (int i = 0; i < kArtLayerCount; ++i) {
            const QString& id = art.ids[std::size_t(i)];
            if (id.isEmpty())
                continue;
            const DrawnExtent drawn = measureDrawn(*svg_, art.pictures[std::size_t(i)], reach);
            g.bounds[std::size_t(i)] = drawn.bounds;
            g.sides[std::size_t(i)] = drawn.sides;
            if (drawn.empty()) {
                emptyLayers_ << artLayerName(ArtLayer(i));
                continue;
            }
            // What lies beyond the area measured is found by librsvg's extent
            // (but for a layer in a masked group, whose extent librsvg finds
            // by drawing the mask: what lies beyond is not looked for there).
            QRectF extent = drawn.coarse;
            if (!art.pictures[std::size_t(i)].element.isEmpty()) {
                if (const QRectF ink = svg_->inkBounds(id); finite(ink) && !reach.contains(ink))
                    extent |= ink;
            }
            if (!near.contains(extent))
                farOff_.push_back({ArtLayer(i), extent});
        }
    }

    // The page fills the player, unless what is drawn covers only a small
    // part of it (an A4 page in millimetres with a character in a corner):
    // then what is drawn does, with a margin.
    void chooseFrame(ArtworkGeometry& g) const
    {
        QRectF drawn;
        for (const QRectF& b : g.bounds)
            drawn |= b & g.page;
        g.frame = g.page;
        if (drawn.isEmpty() || drawn.width() * drawn.height() * kPageMuchLarger > g.page.width() * g.page.height())
            return;
        const double margin = kFrameMargin * std::max(drawn.width(), drawn.height());
        g.frame = drawn.adjusted(-margin, -margin, margin, margin) & g.page;
    }

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
            names << quoted(artLayerName(ArtLayer(int(kFirstMouth) + m)));
        return names.join(QStringLiteral(", "));
    }

    // A pivot is a marker's centre; without one, the head turns about the
    // top of its neck, a little above the chin, and an iris rests where it is
    // drawn.
    void placePivots(ArtworkGeometry& g, const FoundLayers& found) const
    {
        const QRectF head = g.headExtent;
        const auto marker = [&](ArtMarker m) -> std::optional<QPointF> {
            const NamedElement& named = found.markers[std::size_t(m)];
            if (!named.found())
                return std::nullopt;
            const QRectF reach = g.page.adjusted(-g.page.width(), -g.page.height(), g.page.width(), g.page.height());
            const DrawnExtent drawn = measureShown(*svg_, outline_.elements[std::size_t(named.element)].id, reach);
            if (drawn.empty())
                return std::nullopt;
            return drawn.bounds.center();
        };
        g.headPivot = marker(ArtMarker::HeadPivot).value_or(QPointF(head.center().x(), head.bottom() - 0.12 * head.height()));
        for (std::size_t e = 0; e < 2; ++e) {
            const EyeLayers& eye = eyeLayers()[e];
            const QRectF rest = g.has(eye.iris) ? g[eye.iris] : g[eye.white];
            g.eyePivots[e] = marker(e == 0 ? ArtMarker::LeftEyePivot : ArtMarker::RightEyePivot).value_or(rest.center());
        }
    }

    // Back to front as the file draws them: an element's start comes
    // before what it holds and what follows it.
    void stack(Artwork& art, const FoundLayers& found) const
    {
        for (int i = 0; i < kArtLayerCount; ++i) {
            if (art.geometry.has(ArtLayer(i)))
                art.stacking.push_back(ArtLayer(i));
        }
        std::stable_sort(art.stacking.begin(), art.stacking.end(), [&](ArtLayer a, ArtLayer b) {
            return found.layers[std::size_t(a)].element < found.layers[std::size_t(b)].element;
        });
    }

    // The character check's report: every layer and how it was found, what
    // a missing one means, near misses, and what may not move as expected.
    void describe(Artwork& art, const FoundLayers& found) const
    {
        const ArtworkGeometry& g = art.geometry;
        auto& notes = art.notes;
        for (int i = 0; i < kArtLayerCount; ++i) {
            const auto layer = ArtLayer(i);
            const NamedElement& named = found.layers[std::size_t(i)];
            if (named.found()) {
                notes.push_back(describeMatch(outline_, named, artLayerName(layer)));
                if (!holds_[std::size_t(i)].isEmpty())
                    notes.push_back({DrawingNote::Kind::Layer, notes.back().line,
                                     QStringLiteral("layer %1 holds %2, each drawn and moved on its own")
                                         .arg(quoted(artLayerName(layer)), holds_[std::size_t(i)].join(u", "))});
            } else if (layer != ArtLayer::Head) {
                notes.push_back({DrawingNote::Kind::Missing, 0,
                                 QStringLiteral("no layer %1: %2").arg(quoted(artLayerName(layer)), whatItMeansToLack(layer))});
            }
        }
        for (int m = 0; m < kArtMarkerCount; ++m) {
            const NamedElement& named = found.markers[std::size_t(m)];
            if (named.found() && named.match != NameMatch::Id)
                notes.push_back(describeMatch(outline_, named, artMarkerName(ArtMarker(m))));
        }
        notes.insert(notes.end(), found.nearMisses.begin(), found.nearMisses.end());
        const auto lineOf = [&](ArtLayer layer) { return outline_.elements[std::size_t(found.layers[std::size_t(layer)].element)].line; };
        for (const QString& empty : emptyLayers_)
            notes.push_back({DrawingNote::Kind::Warning, 0,
                             QStringLiteral("layer %1 draws nothing (empty, transparent, or hidden by a style sheet)").arg(quoted(empty))});
        for (const auto& [layer, reach] : farOff_)
            notes.push_back({DrawingNote::Kind::Warning, lineOf(layer),
                             QStringLiteral("layer %1 has something far off the page (it reaches %2; the page is %3): "
                                            "the player measures the layer from what lies on the page, but delete what "
                                            "does not belong")
                                 .arg(quoted(artLayerName(layer)), pointText(reach), pointText(g.page))});
        if (g.has(ArtLayer::Body)) {
            const QRectF body = g[ArtLayer::Body] & g.frame, covered = body & g.headExtent;
            if (!body.isEmpty() && covered.width() * covered.height() > 0.3 * body.width() * body.height())
                notes.push_back({DrawingNote::Kind::Warning, lineOf(ArtLayer::Head),
                                 QStringLiteral("layer \"head\" covers the body (it reaches down to %1, the body starts "
                                                "at %2): a head drawn in one piece with the neck and shoulders turns "
                                                "and tilts them with the face; draw them in \"neck\" and \"body\"")
                                     .arg(std::round(g.headExtent.bottom()))
                                     .arg(std::round(g[ArtLayer::Body].top()))});
        }
        if (g.frame != g.page)
            notes.push_back({DrawingNote::Kind::Layer, 0,
                             QStringLiteral("the page (%1) is much larger than what is drawn on it: framed by the "
                                            "drawing (%2)")
                                 .arg(pointText(g.page), pointText(g.frame))});
        // The layers in the file's order, then what is missing, then warnings.
        const auto group = [](DrawingNote::Kind kind) {
            return kind == DrawingNote::Kind::Resolved ? int(DrawingNote::Kind::Layer) : int(kind);
        };
        std::stable_sort(notes.begin(), notes.end(), [&](const DrawingNote& a, const DrawingNote& b) {
            return group(a.kind) != group(b.kind) ? group(a.kind) < group(b.kind) : a.line < b.line;
        });
    }

    const DrawingOutline& outline_;
    std::shared_ptr<const SvgDocument> svg_;
    QString name_;
    QStringList emptyLayers_;
    std::array<QStringList, kArtLayerCount> holds_;  // the layers drawn inside each
    std::vector<std::pair<ArtLayer, QRectF>> farOff_;
};

}  // namespace

std::optional<std::pair<double, double>> HeadOutline::at(double y) const
{
    if (rows.empty() || rowHeight <= 0)
        return std::nullopt;
    const double row = std::floor((y - top) / rowHeight);
    if (row < 0 || row >= double(rows.size()))
        return std::nullopt;
    const auto& span = rows[std::size_t(row)];
    if (span.first > span.second)
        return std::nullopt;
    return span;
}

std::optional<std::pair<double, double>> HeadOutline::down(double x) const
{
    if (columns.empty() || rowHeight <= 0)
        return std::nullopt;
    const double column = std::floor((x - left) / rowHeight);
    if (column < 0 || column >= double(columns.size()))
        return std::nullopt;
    const auto& span = columns[std::size_t(column)];
    if (span.first > span.second)
        return std::nullopt;
    return span;
}

LoadResult<std::shared_ptr<const Artwork>> readArtwork(const QByteArray& bytes, const QString& displayName)
{
    const auto outline = checkDrawing(bytes, displayName);
    if (!outline.ok())
        return outline.error();
    const auto svg = SvgDocument::parse(bytes, displayName);
    if (!svg.ok())
        return svg.error();
    return ArtworkReader(outline.value(), svg.value(), displayName).read();
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
