#include "components/player/backdrop.h"

#include "components/dispatch/error.h"
#include "components/player/image_header.h"
#include "components/player/missing_file.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace vizmo::player {

namespace err = dispatch::err;

void paintBackdrop(QPainter& painter, const QRectF& area, BackMode mode, const QColor& color, const QImage& image)
{
    if (mode == BackMode::Transparent)
        return;
    if (mode == BackMode::Color || image.isNull()) {
        painter.fillRect(area, color);
        return;
    }
    if (mode == BackMode::Stretched) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(area, image);
        painter.restore();
        return;
    }
    painter.fillRect(area, color);  // under the image's transparent parts
    painter.drawTiledPixmap(area, QPixmap::fromImage(image));
}

bool backdropIsOpaque(BackMode mode, const QColor& color, const QImage& image)
{
    if (mode == BackMode::Transparent)
        return false;
    // A stretched image is drawn without the colour under it.
    const bool colourUnder = mode != BackMode::Stretched || image.isNull();
    return colourUnder ? color.alpha() == 255 : !image.hasAlphaChannel();
}

void BackdropCache::paint(QPainter& painter, const QRectF& area, BackMode mode, const QColor& color, const QImage& image)
{
    // A plain colour fills as fast as a pixmap copies.
    if (mode == BackMode::Transparent || mode == BackMode::Color || image.isNull()) {
        paintBackdrop(painter, area, mode, color, image);
        return;
    }
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Key key{area.size(), ratio, mode, color.rgba(), image.cacheKey()};
    if (pixmap_.isNull() || !(key == key_)) {
        pixmap_ = QPixmap((area.size() * ratio).toSize());
        pixmap_.setDevicePixelRatio(ratio);
        pixmap_.fill(Qt::transparent);
        QPainter fill(&pixmap_);
        paintBackdrop(fill, QRectF(QPointF(), area.size()), mode, color, image);
        key_ = key;
        ++refills_;
    }
    painter.drawPixmap(area.topLeft(), pixmap_);
}

namespace {
// A PNG whose chunks claim more than the file holds: refused before libpng
// allocates what they claim.
std::optional<LoadError> brokenPng(const QString& path)
{
    const QString fault = pngChunkFault(path);
    if (fault.isEmpty())
        return std::nullopt;
    return LoadError{err::InvalidFileFormat, QStringLiteral("%1: the image cannot be decoded (%2)").arg(path, fault)};
}
}  // namespace

LoadResult<QSize> checkBackImage(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return LoadError{err::FileNotFound, fileNotFoundMessage(path)};
    // Before the reader: reading the size already walks the chunks before the
    // pixels.
    if (auto broken = brokenPng(path))
        return *broken;
    QImageReader reader(path);
    const QSize size = reader.size().expandedTo(gifScreenSize(path, reader.format()));
    if (!reader.canRead() || !size.isValid())
        return LoadError{err::InvalidFileFormat,
                         QStringLiteral("%1: not an image this program can read (%2)").arg(path, reader.errorString())};
    if (size.width() > kMaxBackImageSide || size.height() > kMaxBackImageSide)
        return LoadError{err::InvalidPropertyValue, QStringLiteral("%1: the image is %2 x %3 pixels; at most %4 x %4 is accepted")
                                                        .arg(path)
                                                        .arg(size.width())
                                                        .arg(size.height())
                                                        .arg(kMaxBackImageSide)};
    // The reader refuses to allocate more than its limit and would fail only
    // later, on the worker; the same sum decides here, at the user's call.
    const QImage::Format format = reader.imageFormat();
    const int bits = format == QImage::Format_Invalid ? 32 : std::max(1, int(QImage::toPixelFormat(format).bitsPerPixel()));
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (limit > 0 && bytes > limit)
        return LoadError{err::InvalidPropertyValue,
                         QStringLiteral("%1: the image is %2 x %3 pixels and needs %4 MB to decode; at most %5 MB is accepted")
                             .arg(path)
                             .arg(size.width())
                             .arg(size.height())
                             .arg((bytes + (1 << 20) - 1) >> 20)
                             .arg(QImageReader::allocationLimit())};
    return size;
}

LoadResult<QImage> decodeBackImage(const QString& path)
{
    // Checked again: the file may have changed since checkBackImage.
    if (auto broken = brokenPng(path))
        return *broken;
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return LoadError{err::InvalidFileFormat, QStringLiteral("%1: the image cannot be decoded (%2)").arg(path, reader.errorString())};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vizmo::player
