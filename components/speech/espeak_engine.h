#pragma once
// eSpeak NG through libespeak-ng, in synchronous mode with phoneme events.
// Construct it once per process, on the thread that will make every call.

#include "components/speech/speech_engine.h"

namespace vizmo::speech {

class EspeakEngine : public SpeechEngine {
public:
    EspeakEngine();
    EngineKind kind() const override { return EngineKind::Espeak; }
    const QList<VoiceInfo>& voices() const override { return voices_; }
    int sampleRate(int) const override { return sampleRate_; }
    void synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink) override;

    // Engine words per minute for Speed 0..100: 50 is eSpeak's own 175.
    static int wordsPerMinute(int speed);
    // eSpeak's pitch parameter that gives pitchFactor(pitch) times the voice's own pitch.
    static int pitchParameter(int pitch);

private:
    QList<VoiceInfo> voices_;
    int sampleRate_ = 22050;
};

}  // namespace vizmo::speech
