#pragma once
// What the component needs of a speech engine. An engine object lives on its
// own worker thread (see engine_thread.h) and every member is called there.

#include "components/speech/phone_features.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vizmo::speech {

enum class EngineKind { Espeak, Flite };

struct VoiceInfo {
    QString name;  // readable, shown in the voice list
    QByteArray id; // the engine's own key for the voice
};

// Pitch and Speed as the component holds them (0..100, 50 natural).
struct SpeechSettings {
    int voiceIndex = 0;
    int pitch = 50;
    int speed = 50;
    // The engine's own key of a voice to use instead of voiceIndex, such as a
    // variant not in the list ("roa/fr+f3"); empty for the listed voice.
    QByteArray voiceId = {};
};

// Pitch 0..100 as a factor on the voice's own pitch, the same on both
// engines: half an octave down at 0 (0.71), the voice itself at 50, half an
// octave up at 100 (1.41).
inline double pitchFactor(int pitch) { return std::exp2((std::clamp(pitch, 0, 100) - 50) / 100.0); }

// A phone of the engine as heard from `startSample` on, under the engine's
// own name (IPA from eSpeak NG, ARPAbet from Flite). `sound` is what kind of
// sound it is, `viseme` its mouth shape (player::viseme numbering) and
// `shapeWeight` how far towards it the phone goes at its fullest
// (components/speech/viseme_tables.h gives all three). `stress` is that of
// its syllable: 1 stressed, 0 unstressed, -1 when the engine does not say.
struct PhoneMark {
    std::int64_t startSample = 0;
    int viseme = 0;
    QByteArray phone;
    int stress = -1;
    PhoneFeatures sound = {};
    double shapeWeight = 1.0;
};

// A word of the text, in UTF-16 units of the text as given, heard from `startSample` on.
struct WordMark {
    std::int64_t startSample = 0;
    int start = 0;
    int length = 0;
};

// One piece of a synthesis: audio and the marks that fall in or near it.
// Sample positions count from the start of the whole text.
struct SpeechChunk {
    std::vector<std::int16_t> samples;
    std::vector<PhoneMark> phones;
    std::vector<WordMark> words;
};

// Where an engine delivers its output; called on the engine's thread.
class SynthesisSink {
public:
    virtual ~SynthesisSink() = default;
    // True once the listener no longer wants output: the engine stops early.
    virtual bool cancelled() const = 0;
    // May block while the listener is far behind (back-pressure).
    virtual void deliver(SpeechChunk&& chunk) = 0;
};

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    virtual EngineKind kind() const = 0;
    virtual const QList<VoiceInfo>& voices() const = 0;
    virtual int sampleRate(int voiceIndex) const = 0;
    // Speaks `text` into `sink` and returns when it is done or cancelled.
    virtual void synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink) = 0;
};

}  // namespace vizmo::speech
