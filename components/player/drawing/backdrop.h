#pragma once
// What the player shows behind the face. BackMode: -1 nothing (the host shows
// through), 0 the back colour, 1 the back image stretched over the whole
// area, 2 the image tiled from the top-left corner at its own size. Without an
// image, modes 1 and 2 show the back colour.

#include "components/player/content/load_result.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

namespace vizmo::player {

enum class BackMode { Transparent = -1, Color = 0, Stretched = 1, Tiled = 2 };

void paintBackdrop(QPainter& painter, const QRectF& area, BackMode mode, const QColor& color, const QImage& image);
// Whether paintBackdrop covers every pixel with an opaque one.
bool backdropIsOpaque(BackMode mode, const QColor& color, const QImage& image);

// Paints the backdrop like paintBackdrop, but keeps an image backdrop as a
// picture of the area's size and pixel ratio: a stretched photo is smoothed once
// instead of every frame. Any change of size, ratio, mode, colour or image
// paints it afresh.
class BackdropCache {
public:
    void paint(QPainter& painter, const QRectF& area, BackMode mode, const QColor& color, const QImage& image);
    // How many times the picture was painted afresh.
    int refills() const { return refills_; }

private:
    struct Key {
        QSizeF size;
        double pixelRatio = 0;
        BackMode mode = BackMode::Transparent;
        QRgb color = 0;
        qint64 image = 0;
        bool operator==(const Key&) const = default;
    };
    Key key_;
    QImage picture_;  // an image, not a pixmap: the frame may be painted off the UI thread
    int refills_ = 0;
};

// The largest image decoded: a phone's photo (50 megapixels, 200 MB decoded)
// fits; an image beyond either bound is refused, since its decoding alone
// would take more memory than the machine may have to spare.
inline constexpr int kMaxBackImageSide = 8192;
inline constexpr qint64 kMaxBackImageMB = 512;

// The quick check done before an image is decoded on a worker thread: the
// file exists, Qt knows its format and its size is sane. Returns the size.
LoadResult<QSize> checkBackImage(const QString& path);
// The slow part: decoding. Safe on any thread.
LoadResult<QImage> decodeBackImage(const QString& path);

}  // namespace vizmo::player
