#include "components/player/drawing/artwork_renderer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

namespace {

// The drawing's units to a sprite's pixels.
QTransform toPixels(const QRectF& rect, const QSize& pixels)
{
    return QTransform::fromTranslate(-rect.x(), -rect.y()) *
           QTransform::fromScale(pixels.width() / rect.width(), pixels.height() / rect.height());
}

// The layer that stands for a whole eye in the stacking: the first of its
// white, iris and lid that the drawing has.
std::optional<ArtLayer> eyeAnchor(const ArtworkGeometry& g, std::size_t eye)
{
    for (ArtLayer layer : {eyeLayers()[eye].white, eyeLayers()[eye].iris, eyeLayers()[eye].lid}) {
        if (g.has(layer))
            return layer;
    }
    return std::nullopt;
}

// Layers drawn whole and opaque, which hide what lies under them. An eye is
// composed of parts that move over each other, and a mouth is morphed
// between shapes: neither is counted on to hide anything.
bool hidesWhatIsUnder(ArtLayer layer) { return !isMouthLayer(layer) && !isEyeLayer(layer); }

QTransform fitted(const QRectF& shown, const QRectF& area)
{
    const double scale = std::min(area.width() / shown.width(), area.height() / shown.height());
    return QTransform::fromTranslate(-shown.center().x(), -shown.center().y()) * QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(area.center().x(), area.center().y());
}

}  // namespace

QTransform artworkPlacement(const ArtworkGeometry& geometry, const QRectF& area)
{
    return fitted(frameWithRoom(geometry), area);
}

ArtworkRenderer::ArtworkRenderer(std::shared_ptr<const Artwork> artwork)
    : artwork_(std::move(artwork)), shown_(frameWithRoom(artwork_->geometry))
{
}

// The device pixels the layer covers, whole and with a pixel to spare for
// anti-aliasing; every sprite is aligned to the same pixel grid, so sprites
// that do not move copy without resampling.
ArtworkRenderer::Sprite ArtworkRenderer::render(ArtLayer layer, double ratio) const
{
    const auto index = std::size_t(layer);
    const QTransform toDevice = toArea_ * QTransform::fromScale(ratio, ratio);
    const QRect pixels = toDevice.mapRect(artwork_->geometry.bounds[index]).toAlignedRect().adjusted(-1, -1, 1, 1);
    Sprite sprite{QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied), toDevice.inverted().mapRect(QRectF(pixels)), {}};
    sprite.image.fill(Qt::transparent);
    artwork_->svg->render(sprite.image, toDevice * QTransform::fromTranslate(-pixels.x(), -pixels.y()),
                          artwork_->pictures[index].element, artwork_->pictures[index].hidden);
    sprite.coverage = measureCoverage(sprite.image);
    return sprite;
}

void ArtworkRenderer::prepare(const QRectF& area, double ratio)
{
    if (area == preparedArea_ && ratio == preparedRatio_)
        return;
    toArea_ = fitted(shown_, area);
    rendered_.fill(false);
    preparedArea_ = area;
    preparedRatio_ = ratio;
    ++renders_;
}

const ArtworkRenderer::Sprite& ArtworkRenderer::sprite(ArtLayer layer)
{
    const auto index = std::size_t(layer);
    if (!std::exchange(rendered_[index], true))
        sprites_[index] = artwork_->geometry.has(layer) ? render(layer, preparedRatio_) : Sprite{};
    return sprites_[index];
}

QTransform ArtworkRenderer::spriteToArea(const Sprite& sprite, const QTransform& place) const
{
    const QSize pixels = sprite.image.size();
    return QTransform::fromScale(sprite.rect.width() / pixels.width(), sprite.rect.height() / pixels.height()) *
           QTransform::fromTranslate(sprite.rect.x(), sprite.rect.y()) * place * toArea_;
}

void ArtworkRenderer::drawSprite(QPainter& painter, const Sprite& sprite, const QTransform& place,
                                 const QRegion* within) const
{
    if (sprite.empty())
        return;
    painter.save();
    if (within)
        painter.setClipRegion(*within, Qt::IntersectClip);
    painter.setTransform(place * toArea_, true);
    painter.drawImage(sprite.rect, sprite.image);
    painter.restore();
}

// The white, the iris moved within it and the lid slid over it, cut to the
// white.
void ArtworkRenderer::drawEye(QPainter& painter, std::size_t eye, const ArtworkFrame& frame)
{
    const EyeLayers& layers = eyeLayers()[eye];
    const Sprite& white = sprite(layers.white);
    const Sprite& iris = sprite(layers.iris);
    const QTransform& place = frame.place[std::size_t(layers.white)];
    if (white.empty()) {
        // Nothing to cut to: the iris where it is drawn, the lid once it is mostly shut.
        drawSprite(painter, iris, place);
        if (frame.lidCover[eye] >= 0.5)
            drawSprite(painter, sprite(layers.lid), place);
        return;
    }
    QImage& buffer = eyeBuffers_[eye];
    if (buffer.size() != white.image.size())
        buffer = QImage(white.image.size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::transparent);
    QPainter composer(&buffer);
    composer.drawImage(0, 0, white.image);
    composer.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    composer.setRenderHint(QPainter::SmoothPixmapTransform);
    composer.setTransform(toPixels(white.rect, white.image.size()));
    if (!iris.empty())
        composer.drawImage(iris.rect.translated(frame.irisShift[eye]), iris.image);
    if (frame.lidCover[eye] > 0.0 && !sprite(layers.lid).empty())
        composer.drawImage(sprite(layers.lid).rect.translated(frame.lidShift[eye]), sprite(layers.lid).image);
    composer.end();
    drawSprite(painter, Sprite{buffer, white.rect, {}}, place);
}

// The open eye's lashes give way to the shut lid's own as it closes.
void ArtworkRenderer::drawLashes(QPainter& painter, std::size_t eye, const ArtworkFrame& frame)
{
    const EyeLayers& layers = eyeLayers()[eye];
    const bool hasLid = artwork_->geometry.has(layers.lid);
    const double shown = hasLid ? std::clamp(2.0 * (1.0 - frame.lidCover[eye]), 0.0, 1.0) : 1.0;
    if (shown <= 0.0)
        return;
    painter.setOpacity(shown);
    drawSprite(painter, sprite(layers.lashes), frame.place[std::size_t(layers.lashes)]);
    painter.setOpacity(1.0);
}

// A small picture costs less to draw whole than to clip.
bool ArtworkRenderer::worthCulling(const Sprite& sprite)
{
    return !sprite.empty() && sprite.image.width() * sprite.image.height() >= 96 * 96;
}

ArtworkRenderer::Hidden ArtworkRenderer::hiddenIn(const ArtworkFrame& frame, const QPainter& painter)
{
    const std::vector<ArtLayer>& stacking = artwork_->stacking;
    Hidden hidden{std::vector<QRegion>(stacking.size()), {}};
    // Only a layer drawn whole and opaque over what is under it hides it.
    if (!culling_ || painter.opacity() < 1.0 || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return hidden;
    // From the top down: each layer sees what the ones above it hide.
    QRegion above;
    for (std::size_t i = stacking.size(); i-- > 0;) {
        hidden.underLayer[i] = above;
        const ArtLayer layer = stacking[i];
        if (!hidesWhatIsUnder(layer))
            continue;
        const Sprite& picture = sprite(layer);
        if (!picture.empty())
            above += innerRegion(picture.coverage.opaque, spriteToArea(picture, frame.place[std::size_t(layer)]));
    }
    hidden.underAll = above;
    return hidden;
}

void ArtworkRenderer::paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop)
{
    if (area.isEmpty())
        return;
    prepare(area, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    const ArtworkGeometry& g = artwork_->geometry;
    const ArtworkFrame frame = poseArtwork(g, pose);
    const std::vector<ArtLayer>& stacking = artwork_->stacking;
    const Hidden hidden = hiddenIn(frame, painter);
    painter.save();
    if (!hidden.underAll.isEmpty())
        painter.setClipRegion(QRegion(area.toAlignedRect()) - hidden.underAll, Qt::IntersectClip);
    backdrop.paint(painter);
    painter.restore();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    bool mouthDrawn = false;
    for (std::size_t i = 0; i < stacking.size(); ++i) {
        const ArtLayer layer = stacking[i];
        if (isMouthLayer(layer)) {
            // All shapes share the first one's place in the stacking.
            if (!std::exchange(mouthDrawn, true))
                drawSprite(painter, sprite(frame.mouthShape), frame.place[std::size_t(frame.mouthShape)]);
        } else if (isEyeLayer(layer)) {
            const std::size_t eye = layer < ArtLayer::RightEyeWhite ? 0 : 1;
            if (layer == eyeLayers()[eye].lashes)
                drawLashes(painter, eye, frame);
            else if (layer == eyeAnchor(g, eye))
                drawEye(painter, eye, frame);
        } else {
            const Sprite& picture = sprite(layer);
            const QTransform& place = frame.place[std::size_t(layer)];
            if (culling_ && worthCulling(picture)) {
                // Where it has paint and nothing later hides it.
                const QRegion within = coveringRegion(picture.coverage.painted, spriteToArea(picture, place)) - hidden.underLayer[i];
                drawSprite(painter, picture, place, &within);
            } else {
                drawSprite(painter, picture, place);
            }
        }
    }
    painter.restore();
}

}  // namespace vizmo::player
