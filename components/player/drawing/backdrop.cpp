#include "components/player/drawing/backdrop.h"

#include "components/dispatch/error.h"
#include "components/player/content/image_header.h"
#include "components/player/content/missing_file.h"

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
    painter.save();
    painter.setBrushOrigin(area.topLeft());
    painter.fillRect(area, QBrush(image));
    painter.restore();
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
    // A plain colour fills as fast as a picture copies.
    if (mode == BackMode::Transparent || mode == BackMode::Color || image.isNull()) {
        paintBackdrop(painter, area, mode, color, image);
        return;
    }
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const Key key{area.size(), ratio, mode, color.rgba(), image.cacheKey()};
    if (picture_.isNull() || !(key == key_)) {
        picture_ = QImage((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        QPainter fill(&picture_);
        paintBackdrop(fill, QRectF(QPointF(), area.size()), mode, color, image);
        key_ = key;
        ++refills_;
    }
    painter.drawImage(area.topLeft(), picture_);
}

namespace {
// What decoding an image of this size takes, in the reader's format (32 bits
// a pixel where the reader cannot tell).
qint64 decodedBytes(QImage::Format format, QSize size)
{
    const int bits = format == QImage::Format_Invalid ? 32 : std::max(1, int(QImage::toPixelFormat(format).bitsPerPixel()));
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    return bytesPerLine * size.height();
}

// An image beyond the bounds, with a description that says which it passes.
std::optional<LoadError> sizeFault(const QString& path, QSize size, QImage::Format format)
{
    if (size.width() > kMaxBackImageSide || size.height() > kMaxBackImageSide)
        return LoadError{err::InvalidPropertyValue, QStringLiteral("%1: the image is %2 x %3 pixels; at most %4 x %4 is accepted")
                                                        .arg(path)
                                                        .arg(size.width())
                                                        .arg(size.height())
                                                        .arg(kMaxBackImageSide)};
    const qint64 bytes = decodedBytes(format, size);
    if (bytes > kMaxBackImageMB * 1024 * 1024)
        return LoadError{err::InvalidPropertyValue,
                         QStringLiteral("%1: the image is %2 x %3 pixels and would take %4 MB of memory to decode; "
                                        "at most %5 MB is accepted")
                             .arg(path)
                             .arg(size.width())
                             .arg(size.height())
                             .arg((bytes + (1 << 20) - 1) >> 20)
                             .arg(kMaxBackImageMB)};
    return std::nullopt;
}

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
    if (auto tooLarge = sizeFault(path, size, reader.imageFormat()))
        return *tooLarge;
    return size;
}

LoadResult<QImage> decodeBackImage(const QString& path)
{
    // Checked again: the file may have changed since checkBackImage.
    if (auto broken = brokenPng(path))
        return *broken;
    QImageReader reader(path);
    // Qt's reader allocates at most its own limit (128 MB), which a phone's
    // photo passes; its size was checked against ours. Given an image of the
    // size and format it is about to decode, the reader fills it in place.
    QImage image;
    const QSize size = reader.size();
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (limit > 0 && size.isValid() && decodedBytes(reader.imageFormat(), size) > limit) {
        if (auto tooLarge = sizeFault(path, size, reader.imageFormat()))
            return *tooLarge;
        image = QImage(size, reader.imageFormat());
        if (image.isNull())
            return LoadError{err::OutOfMemory, QStringLiteral("%1: there is not enough memory to decode the image").arg(path)};
    }
    if (!reader.read(&image))
        return LoadError{err::InvalidFileFormat, QStringLiteral("%1: the image cannot be decoded (%2)").arg(path, reader.errorString())};
    // In place where the layouts match (a photo's RGB32): no second copy.
    return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace vizmo::player
