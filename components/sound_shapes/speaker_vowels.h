#pragma once
// Where this speaker's vowels lie, over the clearly voiced frames heard: the
// medians of the two lowest resonances, and the span of how bright the
// vowels sound, from its lower quartile to its upper. A vowel is read
// against them (a child's "o" sits where a man's "e" does), so that high and
// low voices are shaped alike.

#include <vector>

namespace vizmo::sound_shapes {

class SpeakerVowels {
public:
    SpeakerVowels();

    // A vowel's two resonances, Hz, and its brightness, dB (FrameFeatures).
    void add(double f1, double f2, double brightness);
    // A resonance against the speaker's median of it: 1 at the median, 1.3
    // when 30 % higher. The median, not the middle of the span: a speaker's
    // vowels are not spread evenly (many are near the middle of the mouth,
    // a few at its corners), and a span's middle follows the corners heard.
    double firstRatio(double f1) const;
    double secondRatio(double f2) const;
    // Where the brightness lies in the speaker's span: 0 at its lower
    // quartile (the back, rounded vowels), 1 at its upper (the front ones),
    // below 0 darker than most of the speaker's vowels.
    double brightnessPosition(double brightness) const;

    // How many vowel frames the span remembers: a voice's vowels are learnt
    // within a second or two of speech, and then held over the speaker's
    // last half minute or so, so that a run of one vowel ("oh, no, no") is
    // read against all of the speaker's and not against itself.
    static constexpr double kMemoryFrames = 2000;

private:
    // The quartiles and median of one measure over the vowels heard, each
    // weighed less the longer ago it was heard, from a histogram that starts
    // as a guess of a few vowels spread evenly about where most voices lie.
    class Span {
    public:
        Span(double low, double high, double lowest, double highest, double bin, double narrowest);
        void add(double value);
        double middle() const { return (low_ + high_) / 2; }
        double median() const { return median_; }
        double position(double value) const;

    private:
        double quantile(double q) const;
        double lowest_, bin_, narrowest_;
        std::vector<double> weights_;
        double total_ = 0;
        double low_, high_, median_;
    };
    // Of the natural logarithms of the resonances, and of the brightness, dB.
    Span f1_, f2_, brightness_;
};

}  // namespace vizmo::sound_shapes
