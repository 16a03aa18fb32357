#pragma once
// What a speaker's face does besides the mouth, read from the speech input:
// phrases begin at the first sound after silence and end at a silence that
// lasts; stressed words or, without the words' timing, some strongly voiced
// vowels, a second or so apart, carry an accent (brows rise, the head nods a
// little); a phrase's start turns the gaze aside and its end brings a blink or
// a small settle of the head. Between accents the brows rest, so a speaking
// face does not stare.

#include "components/player/motion/life_random.h"

namespace vizmo::player {

class SpeechGestures {
public:
    enum class Cue { None, PhraseStart, PhraseEnd };

    explicit SpeechGestures(quint32 seed);

    // The speech input: SpeechActive, each SpeechViseme (weight 0..1) and
    // each SpeechWord (stress 0..1). Once words come, they place the accents
    // and the vowels no longer do, until speech is next switched on.
    Cue active(double seconds, bool on);
    Cue sound(double seconds, int viseme, double weight);
    void word(double seconds, double stress);
    // A phrase whose closing silence has lasted long enough ends here.
    Cue poll(double seconds);

    // 0..1 brow raise and the head's nod (+ chin down, pose units) at `seconds`.
    double brows(double seconds) const;
    double nod(double seconds) const;

private:
    LifeRandom random_;
    bool inPhrase_ = false;
    double phraseStart_ = -1e9;
    double silenceSince_ = -1.0;  // a silence inside a phrase, not yet its end
    bool wordsTimed_ = false;
    double accent_ = -1e9;
    double accentSize_ = 0;
    double settle_ = -1e9;
};

}  // namespace vizmo::player
