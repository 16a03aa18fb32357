#include "components/player/vizmo4.h"

#include "components/player/script_audio.h"
#include "components/player_control.h"

#include <algorithm>
#include <cmath>

// Playing the script: its timeline and sound, and the Play, Pause, Stop,
// Progress and Eof events. Every change bumps the generation, so a step that
// raised an event can tell whether the host's handler changed things meanwhile.
// The events belong to the script: one held while a call waits is dropped if
// the script has been replaced before it would reach the host.

namespace vizmo::player {

using dispatch::Args;
using dispatch::Variant;

void Vizmo4::startPlayback()
{
    if (!script_ || timeline_.state() == PlaybackState::Playing)
        return;
    const bool resuming = timeline_.state() == PlaybackState::Paused;
    timeline_.play(now());
    if (audio_)
        resuming ? audio_->resume(timeline_.position(now())) : audio_->play(timeline_.position(now()));
    const quint64 generation = ++generation_;
    progressTimer_.start();
    update();
    raiseEvent(event::Play, scriptContent_);
    if (generation == generation_)
        raiseProgress(PlaybackState::Playing, timeline_.position(now()));
}

void Vizmo4::pausePlayback()
{
    if (timeline_.state() != PlaybackState::Playing)
        return;
    scriptPosition();  // takes the sound's position before it freezes
    timeline_.pause(now());
    if (audio_)
        audio_->pause();
    progressTimer_.stop();
    ++generation_;
    update();  // the bar's button turns from pause to play
    raiseEvent(event::Pause, scriptContent_);
}

void Vizmo4::stopPlayback()
{
    if (!script_)
        return;
    const bool moved = timeline_.state() != PlaybackState::Stopped || timeline_.position(now()) > 0;
    if (!moved)
        return;
    timeline_.stop();
    if (audio_)
        audio_->stop();
    progressTimer_.stop();
    const quint64 generation = ++generation_;
    update();
    raiseEvent(event::Stop, scriptContent_);
    if (generation == generation_)
        raiseProgress(PlaybackState::Stopped, 0);
}

void Vizmo4::playbackTick()
{
    if (timeline_.state() != PlaybackState::Playing)
        return;
    const double position = scriptPosition();
    if (position >= timeline_.length()) {
        finishScript();
        return;
    }
    raiseProgress(PlaybackState::Playing, position);
}

double Vizmo4::scriptPosition()
{
    const double t = now();
    if (audio_) {
        if (const auto heard = audio_->positionMs())
            timeline_.followExternalClock(*heard, t);
    }
    return timeline_.position(t);
}

void Vizmo4::finishScript()
{
    const QString finished = scriptPath_;
    const int total = timeline_.length();
    timeline_.finish();
    if (audio_)
        audio_->stop();
    progressTimer_.stop();
    const quint64 generation = ++generation_;
    update();
    // The bar reaches its end before Eof, whose handler may load new content.
    raiseProgress(PlaybackState::Stopped, total);
    if (generation != generation_)
        return;
    Args args{Variant::string(finished)};
    raiseEvent(event::Eof, args, scriptContent_);
}

void Vizmo4::raiseProgress(PlaybackState state, double positionMs)
{
    const int total = timeline_.length();
    if (total <= 0)
        return;
    const int current = std::clamp(int(std::lround(positionMs)), 0, total);
    Args args{Variant::i4(int(state)), Variant::i4(int(std::floor(current * fps_ / 1000.0))), Variant::i4(current),
              Variant::i4(total)};
    raiseEvent(event::Progress, args, scriptContent_);
}

void Vizmo4::seekTo(double fraction)
{
    if (!script_)
        return;
    const double position = fraction * timeline_.length();
    timeline_.seek(position, now());
    if (audio_) {
        if (timeline_.state() == PlaybackState::Playing)
            audio_->play(position);
        else
            audio_->stop();  // Play starts the sound afresh at the new position
    }
    ++generation_;
    update();
    raiseProgress(timeline_.state(), position);
}

}  // namespace vizmo::player
