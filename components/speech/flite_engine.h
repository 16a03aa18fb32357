#pragma once
// Flite through libflite with Debian's US English voices, streamed utterance
// by utterance. Construct it once per process, on the thread that will make
// every call.

#include "components/speech/speech_engine.h"

#include <memory>
#include <vector>

struct cst_voice_struct;
struct cst_cg_db_struct;

namespace vizmo::speech {

class FliteEngine : public SpeechEngine {
public:
    FliteEngine();
    ~FliteEngine() override;
    EngineKind kind() const override { return EngineKind::Flite; }
    const QList<VoiceInfo>& voices() const override { return voices_; }
    int sampleRate(int voiceIndex) const override;
    void synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink) override;

    // Flite's duration_stretch for Speed 0..100: 1 at 50, 2 (slower) at 0, 0.5 at 100.
    static double durationStretch(int speed);

private:
    void followPitchShift(cst_voice_struct* voice);

    struct Voice {
        cst_voice_struct* voice = nullptr;
        int sampleRate = 16000;
        float meanF0 = 0.f;    // the diphone voices' own target mean; 0 for the statistical voices
        float spreadF0 = 0.f;  // and their target standard deviation
    };
    QList<VoiceInfo> voices_;
    std::vector<Voice> loaded_;
    std::vector<std::unique_ptr<cst_cg_db_struct>> pitchFollowers_;  // voices keep pointers to these
};

}  // namespace vizmo::speech
