#pragma once
// The sound of a script: decoded on a worker thread, played through the
// shared PCM output, and its played position offered as the clock the
// script's timeline follows.

#include "components/player/wav_file.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace vizmo::audio {
class PcmOutput;
}

namespace vizmo::player {

class ScriptAudio : public QObject {
    Q_OBJECT
public:
    // Starts decoding `path` at once; the header was checked by the caller.
    explicit ScriptAudio(const QString& path, QObject* parent = nullptr);
    ~ScriptAudio() override;

    bool ready() const { return sound_ != nullptr; }
    // Plays from `positionMs` of the sound. Before the sound is decoded this
    // does nothing: the owner starts it on decoded() at the timeline's position.
    void play(double positionMs);
    void pause();
    // Continues a paused sound, or starts it at `positionMs` if it never started.
    void resume(double positionMs);
    void stop();
    // The played position in ms, when the sound is playing.
    std::optional<double> positionMs() const;

signals:
    // The sound is decoded (or failed to decode, which leaves the script silent).
    void decoded();

private:
    void startOutput(double positionMs);

    std::shared_ptr<const WavSound> sound_;
    std::unique_ptr<audio::PcmOutput> output_;
    double offsetMs_ = 0;
    bool playing_ = false;
};

}  // namespace vizmo::player
