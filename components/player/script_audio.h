#pragma once
// The sound of a script, decoded by the loader: played through the shared
// PCM output, and its played position offered as the clock the script's
// timeline follows.

#include "components/player/content/wav_file.h"

#include <QTimer>

#include <memory>
#include <optional>

namespace vizmo::audio {
class PcmOutput;
}

namespace vizmo::player {

class ScriptAudio {
public:
    explicit ScriptAudio(std::shared_ptr<const WavSound> sound);
    ~ScriptAudio();
    ScriptAudio(const ScriptAudio&) = delete;
    ScriptAudio& operator=(const ScriptAudio&) = delete;

    // Plays from `positionMs` of the sound.
    void play(double positionMs);
    void pause();
    // Continues a paused sound, or starts it at `positionMs` if it never started.
    void resume(double positionMs);
    void stop();
    // The played position in ms, when the sound is playing.
    std::optional<double> positionMs() const;

private:
    // Queues the next few seconds when less than half of them are left.
    void topUp();

    std::shared_ptr<const WavSound> sound_;
    std::unique_ptr<audio::PcmOutput> output_;
    QTimer topUpTimer_;
    qint64 nextFrame_ = 0;  // the first frame not yet queued
    double offsetMs_ = 0;
    bool playing_ = false;
};

}  // namespace vizmo::player
