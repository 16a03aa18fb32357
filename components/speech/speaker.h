#pragma once
// One text at a time, spoken aloud: starts the synthesis on the engine's
// thread, streams its audio into the PCM output as it comes, and follows the
// output's played position to announce words and mouth shapes on time.
// Lives on the UI thread; every call returns at once.

#include "components/audio/pcm_output.h"
#include "components/speech/engine_thread.h"
#include "components/speech/lip_sync.h"
#include "components/speech/speech_engine.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

namespace vizmo::speech {

class SpeechChannel;

class Speaker : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Speaking, Paused };

    explicit Speaker(QObject* parent = nullptr);
    ~Speaker() override;

    // Starts speaking `text`, dropping whatever was being spoken.
    void speak(EngineKind engine, const QString& text, const SpeechSettings& settings);
    void pause();
    void resume();
    // Silence at once; no finished() for this text.
    void stop();
    // Opens the sound device, while idle, in the format of that engine's voice,
    // once the engine has started: the next speak() then sounds at once.
    void prepare(EngineKind engine, int voiceIndex);
    // 0..100, heard within one device buffer.
    void setVolume(int volume);

    State state() const { return state_; }
    audio::PcmOutput& output() { return output_; }
    // Where the listener is in the current text, in the engine's samples.
    std::int64_t playedSamples() const;
    int sampleRate() const { return sampleRate_; }

signals:
    // `stress` 0..255: how stressed the word's strongest vowel is (LipSync::stressBetween).
    void wordReached(int start, int length, int stress);
    void visemeDue(const vizmo::speech::VisemeCue& cue);
    // The whole text has been heard (never after stop()).
    void finished();

private:
    static QAudioFormat formatFor(const EngineInfo& info, int voiceIndex);
    void receive(std::uint64_t generation, SpeechChunk&& chunk);
    void synthesisDone(std::uint64_t generation);
    void tick();
    void onDrained();

    audio::PcmOutput output_;
    QTimer ticker_;
    State state_ = State::Idle;
    std::uint64_t generation_ = 0;
    std::shared_ptr<SpeechChannel> channel_;
    std::optional<LipSync> lipSync_;
    std::deque<WordMark> words_;
    std::int64_t receivedSamples_ = 0;
    int sampleRate_ = 22050;
};

}  // namespace vizmo::speech
