#pragma once
// Where a script is in its timeline. Time comes in from outside (the
// widget's monotonic clock, or the sound's played position), so the same
// code serves real playback and tests.

namespace vizmo::player {

// The first argument of the Progress event.
enum class PlaybackState { Stopped = 0, Playing = 1, Paused = 2 };

class PlaybackTimeline {
public:
    void setLength(int lengthMs);
    int length() const { return lengthMs_; }
    PlaybackState state() const { return state_; }

    // From the start when stopped, from where it stood when paused.
    void play(double nowMs);
    void pause(double nowMs);
    // Back to the start.
    void stop();
    // Moves to `positionMs` (clamped to the script) and keeps the state; a
    // stopped timeline then plays from there.
    void seek(double positionMs, double nowMs);
    // Holds at the end; the caller raises the end-of-script event.
    void finish();

    // The position at `nowMs`, 0..length.
    double position(double nowMs) const;
    bool reachedEnd(double nowMs) const { return state_ == PlaybackState::Playing && position(nowMs) >= lengthMs_; }

    // When the sound's clock drives the timeline, positions come from it.
    void followExternalClock(double positionMs, double nowMs);

private:
    PlaybackState state_ = PlaybackState::Stopped;
    int lengthMs_ = 0;
    double startedAtMs_ = 0;  // clock time that corresponds to position 0
    double heldMs_ = 0;       // the position while stopped or paused
};

}  // namespace vizmo::player
