#pragma once
// Phones and words as heard in a sound, whoever found them.

#include "components/player_control.h"
#include "components/speech/speech_engine.h"

#include <vector>

namespace vizmo::speech {

// At `rate`; each phone lasts until the next begins, the last one until the
// sound ends.
struct TimedSpeech {
    std::vector<PhoneMark> phones;
    std::vector<WordMark> words;
    int rate = 16000;
};

// A phone the voice is heard in, not a pause.
inline bool sounding(const PhoneMark& p) { return p.viseme != player::viseme::Silence; }

}  // namespace vizmo::speech
