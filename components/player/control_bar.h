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

// Track: the position track and the bar's full height around it, so a thin
// track is still easy to hit.
enum class ControlBarHit { None, Bar, PlayPause, Stop, Track };
ControlBarHit hitControlBar(const ControlBarLayout& layout, QPointF point);
// Where along the track a point lies, 0 at its left end to 1 at its right end.
double trackFraction(const ControlBarLayout& layout, QPointF point);

}  // namespace vizmo::player
