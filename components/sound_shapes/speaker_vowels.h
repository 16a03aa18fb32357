#pragma once
// Where this speaker's vowels lie: the span of the two lowest resonances
// over the clearly voiced frames heard so far, from their lower quartile to
// their upper. A vowel is read against it (a child's "o" sits where a man's
// "e" does), so that high and low voices are shaped alike.

namespace vizmo::sound_shapes {

class SpeakerVowels {
public:
    // A vowel's two resonances, Hz.
    void add(double f1, double f2);
    // A resonance against the middle of the speaker's span: 1 at the middle,
    // 1.3 when 30 % higher.
    double firstRatio(double f1) const;
    double secondRatio(double f2) const;
    // Where the second resonance lies in the speaker's span: 0 at its lower
    // quartile (the back, rounded vowels), 1 at its upper (the front ones),
    // below 0 further back than most of the speaker's vowels.
    double frontness(double f2) const;

private:
    // Natural logarithms of the quartiles, each nudged a step towards a new
    // value as a running quantile: they follow a new speaker within a second
    // or two of speech.
    struct Span {
        double low, high;
        void add(double logValue);
        double middle() const { return (low + high) / 2; }
        double position(double logValue) const;
    };
    Span f1_{6.0, 6.55};  // 400..700 Hz, between a man's vowels and a woman's
    Span f2_{7.1, 7.65};  // 1200..2100 Hz
};

}  // namespace vizmo::sound_shapes
