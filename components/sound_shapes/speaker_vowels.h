#pragma once
// Where this speaker's vowels usually lie: the medians of the two lowest
// resonances over the clearly voiced vowels heard so far. A vowel is then
// read against them (a child's "o" sits where a man's "e" does), so high and
// low voices are shaped alike.

namespace vizmo::sound_shapes {

class SpeakerVowels {
public:
    // A vowel's two resonances, Hz.
    void add(double f1, double f2);
    double f1() const;
    double f2() const;

private:
    // Natural logarithms, nudged a step towards each new value: a running
    // median that follows a new speaker within a second of vowels.
    double logF1_ = 6.31;  // 550 Hz, between a man's and a woman's
    double logF2_ = 7.38;  // 1600 Hz
};

}  // namespace vizmo::sound_shapes
