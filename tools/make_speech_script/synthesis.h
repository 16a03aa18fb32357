#pragma once
// A text spoken by one of the component's engines, whole, with its marks.

#include "components/speech/speech_engine.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vizmo::speech {

struct Synthesis {
    std::vector<std::int16_t> samples;
    std::vector<PhoneMark> phones;
    std::vector<WordMark> words;
    int rate = 22050;
};

// Speaks on the engine's own thread and waits for the end; `voice` must be
// an index of the engine's voice list.
Synthesis synthesize(EngineKind engine, int voice, const QString& text);
// The same with any settings: a speed, a pitch, a variant of a voice.
Synthesis synthesize(EngineKind engine, const SpeechSettings& settings, const QString& text);

}  // namespace vizmo::speech
