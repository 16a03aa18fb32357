#include "components/player/drawing/artwork_renderer.h"

#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace vizmo::player {

namespace {

bool isEyeLayer(ArtLayer layer) { return layer >= ArtLayer::LeftEyeWhite && layer <= ArtLayer::RightEyeLashes; }
bool isMouthLayer(ArtLayer layer) { return layer >= kFirstMouth && layer <= ArtLayer::MouthRound; }

// The drawing's units to a sprite's pixels.
QTransform toPixels(const QRectF& rect, const QSize& pixels)
{
    return QTransform::fromTranslate(-rect.x(), -rect.y()) *
           QTransform::fromScale(pixels.width() / rect.width(), pixels.height() / rect.height());
}

// The weights in 256ths, adding up to 256 exactly, so a pixel that every
// shape covers sums to full coverage and no channel can overflow.
std::array<int, kMouthShapeCount> shares(const MouthWeights& weights)
{
    std::array<int, kMouthShapeCount> parts{};
    int total = 0;
    for (std::size_t m = 0; m < parts.size(); ++m)
        total += parts[m] = int(weights[m] * 256.0);
    parts[std::size_t(std::max_element(weights.begin(), weights.end()) - weights.begin())] += 256 - total;
    return parts;
}

// Adds `part` 256ths of `shape` to `sum` at `offset`, both premultiplied.
void addWeighted(QImage& sum, const QImage& shape, QPoint offset, int part)
{
    const QRect area = QRect(offset, shape.size()) & sum.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(shape.constScanLine(y - offset.y())) + (area.left() - offset.x());
        auto* to = reinterpret_cast<QRgb*>(sum.scanLine(y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const QRgb p = from[x];
            // Two channels at a time, each with room for the product.
            to[x] += (((p & 0x00ff00ffu) * unsigned(part)) >> 8 & 0x00ff00ffu) |
                     (((p >> 8 & 0x00ff00ffu) * unsigned(part)) & 0xff00ff00u);
        }
    }
}

}  // namespace

ArtworkRenderer::ArtworkRenderer(std::shared_ptr<const Artwork> artwork) : artwork_(std::move(artwork)) {}

// The device pixels `bounds` covers, whole and with a pixel to spare for
// anti-aliasing; every sprite is aligned to the same pixel grid, so sprites
// that do not move copy without resampling.
ArtworkRenderer::Sprite ArtworkRenderer::render(const Artwork::Element& element, const QRectF& bounds, double ratio) const
{
    const QTransform toDevice = toArea_ * QTransform::fromScale(ratio, ratio);
    const QRect pixels = toDevice.mapRect(bounds).toAlignedRect().adjusted(-1, -1, 1, 1);
    Sprite sprite{QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied), toDevice.inverted().mapRect(QRectF(pixels))};
    sprite.image.fill(Qt::transparent);
    if (element.id.isEmpty())
        return sprite;
    QPainter painter(&sprite.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(element.parents * toDevice * QTransform::fromTranslate(-pixels.x(), -pixels.y()));
    artwork_->svg->render(&painter, element.id, element.ownBounds);
    return sprite;
}

void ArtworkRenderer::prepare(const QRectF& area, double ratio)
{
    if (area == preparedArea_ && ratio == preparedRatio_)
        return;
    const ArtworkGeometry& g = artwork_->geometry;
    const double scale = std::min(area.width() / g.frame.width(), area.height() / g.frame.height());
    toArea_ = QTransform::fromTranslate(-g.frame.center().x(), -g.frame.center().y()) *
              QTransform::fromScale(scale, scale) * QTransform::fromTranslate(area.center().x(), area.center().y());
    QRectF mouths;
    for (int i = 0; i < kArtLayerCount; ++i) {
        const auto index = std::size_t(i);
        sprites_[index] = g.has(ArtLayer(i)) ? render(artwork_->elements[index], g.bounds[index], ratio) : Sprite{};
        if (isMouthLayer(ArtLayer(i)))
            mouths |= g.bounds[index];
    }
    mouthFrame_ = render(Artwork::Element{}, mouths, ratio);
    preparedArea_ = area;
    preparedRatio_ = ratio;
    ++renders_;
}

void ArtworkRenderer::drawSprite(QPainter& painter, const Sprite& sprite, const QTransform& place) const
{
    painter.save();
    painter.setTransform(place * toArea_, true);
    painter.drawImage(sprite.rect, sprite.image);
    painter.restore();
}

// The white, the iris moved within it and the lid slid over it, cut to the
// white; the lashes over them.
void ArtworkRenderer::drawEye(QPainter& painter, std::size_t eye, const ArtworkFrame& frame)
{
    const EyeLayers& layers = eyeLayers()[eye];
    const Sprite& white = sprite(layers.white);
    const Sprite& iris = sprite(layers.iris);
    const Sprite& lid = sprite(layers.lid);
    const QTransform& place = frame.place[std::size_t(layers.white)];
    if (white.empty()) {
        // Nothing to cut to: the iris where it is drawn, the lid once it is mostly shut.
        if (!iris.empty())
            drawSprite(painter, iris, place);
        if (!lid.empty() && frame.lidCover[eye] >= 0.5)
            drawSprite(painter, lid, place);
    } else {
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
        if (!lid.empty() && frame.lidCover[eye] > 0.0)
            composer.drawImage(lid.rect.translated(frame.lidShift[eye]), lid.image);
        composer.end();
        drawSprite(painter, Sprite{buffer, white.rect}, place);
    }
    // The open eye's lashes give way to the shut lid's own as it closes.
    const double lashes = lid.empty() ? 1.0 : std::clamp(2.0 * (1.0 - frame.lidCover[eye]), 0.0, 1.0);
    if (!sprite(layers.lashes).empty() && lashes > 0.0) {
        painter.setOpacity(lashes);
        drawSprite(painter, sprite(layers.lashes), place);
        painter.setOpacity(1.0);
    }
}

// The drawn shapes added up by weight, pixel by pixel: where two shapes both
// cover a pixel it stays covered through the cross-fade, where one alone
// covers it, it fades with that shape. (Qt's Plus mode with an opacity
// clips the sum before it weighs it, and would let the skin show through.)
void ArtworkRenderer::drawMouth(QPainter& painter, const ArtworkFrame& frame)
{
    const QTransform& place = frame.place[std::size_t(kFirstMouth)];
    const auto strongest = std::max_element(frame.mouth.begin(), frame.mouth.end());
    constexpr double kAlone = 0.995;
    if (*strongest >= kAlone)
        return drawSprite(painter, sprite(ArtLayer(int(kFirstMouth) + int(strongest - frame.mouth.begin()))), place);
    if (mouthBuffer_.size() != mouthFrame_.image.size())
        mouthBuffer_ = QImage(mouthFrame_.image.size(), QImage::Format_ARGB32_Premultiplied);
    mouthBuffer_.fill(Qt::transparent);
    const QTransform toBuffer = toPixels(mouthFrame_.rect, mouthFrame_.image.size());
    const std::array<int, kMouthShapeCount> parts = shares(frame.mouth);
    for (int m = 0; m < kMouthShapeCount; ++m) {
        const Sprite& shape = sprite(ArtLayer(int(kFirstMouth) + m));
        if (!shape.empty() && parts[std::size_t(m)] > 0)
            addWeighted(mouthBuffer_, shape.image, toBuffer.map(shape.rect.topLeft()).toPoint(), parts[std::size_t(m)]);
    }
    drawSprite(painter, Sprite{mouthBuffer_, mouthFrame_.rect}, place);
}

void ArtworkRenderer::paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop)
{
    if (area.isEmpty())
        return;
    prepare(area, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    backdrop.paint(painter);
    const ArtworkFrame frame = poseArtwork(artwork_->geometry, pose);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < kArtLayerCount; ++i) {
        const auto layer = ArtLayer(i);
        if (isEyeLayer(layer)) {
            for (std::size_t eye = 0; eye < 2; ++eye) {
                if (layer == eyeLayers()[eye].white)
                    drawEye(painter, eye, frame);
            }
        } else if (isMouthLayer(layer)) {
            if (layer == kFirstMouth)
                drawMouth(painter, frame);
        } else if (!sprite(layer).empty()) {
            drawSprite(painter, sprite(layer), frame.place[std::size_t(i)]);
        }
    }
    painter.restore();
}

}  // namespace vizmo::player
