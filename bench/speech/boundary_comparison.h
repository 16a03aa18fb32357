#pragma once
// How far found phone and word boundaries lie from known ones, for marks of
// two different phone sets (Flite's ARPAbet, eSpeak NG's IPA): both
// are reduced to broad classes (vowel, stop, fricative, nasal, approximant,
// silence), the two sequences are paired by edit distance, and only phones
// paired with one of their own class are compared. Words pair exactly, by
// where they start in the text.

#include "tools/make_speech_script/timed_speech.h"

#include <vector>

namespace vizmo::speech {

struct BoundaryErrors {
    std::vector<double> phoneMs;  // found start less known start, per paired sounding phone
    std::vector<bool> stop;       // per paired phone: a stop, whose mark the engines place differently
    std::vector<bool> nasalOpen;  // per paired phone: a vowel after a nasal, opening from closed lips or tongue
    std::vector<double> wordMs;   // the same per word
    int referencePhones = 0;      // sounding phones known, to say how many paired
};

BoundaryErrors compareBoundaries(const TimedSpeech& reference, const TimedSpeech& found);


// The share `q` (0..1) of the absolute errors lie at or below this.
double quantileOfAbs(std::vector<double> values, double q);

}  // namespace vizmo::speech
