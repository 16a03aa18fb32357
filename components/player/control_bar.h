#pragma once
// The small playback bar that ControStyle 1 lays over the bottom of the face:
// a play/pause button, a stop button and the position track.

#include "components/player/playback_timeline.h"

#include <QRectF>

class QPainter;

namespace vizmo::player {

struct ControlBarLayout {
    QRectF bar;
    QRectF playPause;
    QRectF stop;
    QRectF track;
};

ControlBarLayout controlBarLayout(const QRectF& widgetArea);
void paintControlBar(QPainter& painter, const ControlBarLayout& layout, PlaybackState state, double fraction);

enum class ControlBarHit { None, Bar, PlayPause, Stop };
ControlBarHit hitControlBar(const ControlBarLayout& layout, QPointF point);

}  // namespace vizmo::player
