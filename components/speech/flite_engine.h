#pragma once
// Flite through libflite with Debian's US English voices, streamed utterance
// by utterance. Construct it once per process, on the thread that will make
// every call.

#include "components/speech/speech_engine.h"

#include <vector>

struct cst_voice_struct;

namespace vizmo::speech {

class FliteEngine : public SpeechEngine {
public:
    FliteEngine();
    EngineKind kind() const override { return EngineKind::Flite; }
    const QList<VoiceInfo>& voices() const override { return voices_; }
    int sampleRate(int voiceIndex) const override;
    void synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink) override;

    // Flite's duration_stretch for Speed 0..100: 1 at 50, 2 (slower) at 0, 0.5 at 100.
    static double durationStretch(int speed);
    // Factor on the voice's own mean pitch for Pitch 0..100: 1 at 50, 0.7 at 0, 1.4 at 100.
    static double pitchFactor(int pitch);

private:
    struct Voice {
        cst_voice_struct* voice = nullptr;
        int sampleRate = 16000;
        float meanF0 = 100.f;
    };
    QList<VoiceInfo> voices_;
    std::vector<Voice> loaded_;
};

}  // namespace vizmo::speech
