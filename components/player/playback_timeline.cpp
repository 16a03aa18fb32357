#include "components/player/playback_timeline.h"

#include <algorithm>

namespace vizmo::player {

void PlaybackTimeline::setLength(int lengthMs)
{
    lengthMs_ = std::max(0, lengthMs);
    state_ = PlaybackState::Stopped;
    heldMs_ = 0;
}

void PlaybackTimeline::play(double nowMs)
{
    if (state_ == PlaybackState::Playing)
        return;
    // A finished script starts again; a stopped one starts where it was put.
    if (state_ == PlaybackState::Stopped && heldMs_ >= lengthMs_)
        heldMs_ = 0;
    startedAtMs_ = nowMs - heldMs_;
    state_ = PlaybackState::Playing;
}

void PlaybackTimeline::pause(double nowMs)
{
    if (state_ != PlaybackState::Playing)
        return;
    heldMs_ = position(nowMs);
    state_ = PlaybackState::Paused;
}

void PlaybackTimeline::stop()
{
    state_ = PlaybackState::Stopped;
    heldMs_ = 0;
}

void PlaybackTimeline::seek(double positionMs, double nowMs)
{
    const double position = std::clamp(positionMs, 0.0, double(lengthMs_));
    if (state_ == PlaybackState::Playing)
        startedAtMs_ = nowMs - position;
    else
        heldMs_ = position;
}

void PlaybackTimeline::finish()
{
    state_ = PlaybackState::Stopped;
    heldMs_ = lengthMs_;
}

double PlaybackTimeline::position(double nowMs) const
{
    const double raw = state_ == PlaybackState::Playing ? nowMs - startedAtMs_ : heldMs_;
    return std::clamp(raw, 0.0, double(lengthMs_));
}

void PlaybackTimeline::followExternalClock(double positionMs, double nowMs)
{
    if (state_ == PlaybackState::Playing)
        startedAtMs_ = nowMs - positionMs;
}

}  // namespace vizmo::player
