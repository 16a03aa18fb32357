#pragma once
// Turns an engine's phones into the mouth's targets, by the rules animators
// use for speech, in small passes over the phones as they arrive; the rules
// read the phones' features (vowel, bilabial, rounded...), the same in
// every language:
//  - every vowel gets its own shape from where its sound rises, opened as
//    far as it is loud against the loudest vowel so far, less for unstressed,
//    reduced and short vowels, and never less than half way, so no vowel is
//    ever hidden;
//  - bilabials (p, b, m) close the lips and labiodentals (f, v) put the lip
//    to the teeth, for their own phone only;
//  - consonants that hardly show on the lips (t, d, n, k, g, h, l) get no
//    shape of their own: the mouth passes through them from the shape before
//    to the shape after, which starts half way through them; in a silence
//    of theirs of 60 ms or more (a stop's closure) the jaw rises, to the
//    vowel after (or before) at 0.15, and the vowel after opens with its sound;
//    a trill or tap of the tongue's tip (Italian or Russian r) is seen, the
//    jaw held up for it;
//  - rounding (rounded vowels, w, labialised consonants) starts with the
//    first of up to two consonants before it, as pursed lips over the
//    consonants' jaw;
//  - equal neighbours are joined.
// Each target is due early enough for the player's spring to be half way
// there, as seen, viseme_timing::kLeadMs before it is heard, and carries how
// fast the spring should reach it; one due before the text's first sample
// (its first sound comes at once after Play) goes at once, faster.

#include "components/speech/loudness_track.h"
#include "components/speech/speech_engine.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vizmo::speech {

struct VisemeCue {
    std::int64_t startSample = 0;  // when it is heard
    std::int64_t dueSample = 0;    // when it goes to the player
    int viseme = 0;
    int weight = 255;
    int blendMs = 40;  // the player's settle time for it
};

// Where an engine's phone marks fall in its sound: every mark is moved by
// `shiftMs`, and the marks of stops (p, b, t, d, k, g) by `stopShiftMs` more,
// each within the phones either side of it.
struct PhoneTiming {
    int shiftMs = 0;
    int stopShiftMs = 0;
};
PhoneTiming phoneTimingOf(EngineKind engine);

// Whether the mouth shows `phone` as a vowel, with a shape of its own.
bool showsAsVowel(const PhoneMark& phone);

// A stop with its closure (p, b, t, d, k, g, their kin at every place
// before the glottis, and taps), in either engine's phone set.
bool isStop(const PhoneMark& phone);

class LipSync {
public:
    explicit LipSync(int sampleRate, PhoneTiming timing = {});

    // The synthesised sound, as it comes: vowels open as far as they are loud.
    void addSound(const std::vector<std::int16_t>& samples);
    // Phones in time order, across as many calls as chunks come. A phone is
    // planned once the sound up to its end has come.
    void addPhones(const std::vector<PhoneMark>& phones);
    // No more phones: the last one lasts until `endSample`, then the mouth rests.
    void finish(std::int64_t endSample);

    // Cues due at or before `sample`, each handed out once, in order.
    std::vector<VisemeCue> takeDue(std::int64_t sample);
    // Every cue not yet handed out (the tail after the sound has ended).
    std::vector<VisemeCue> takeAll();
    // How stressed the strongest planned vowel heard in [from, to) is, 0..255:
    // its loudness against the loudest vowel so far, less for an unstressed or
    // reduced vowel (the weighting rule without its length); 0 for no vowel.
    int stressBetween(std::int64_t from, std::int64_t to) const;

private:
    void plan(std::size_t upTo);
    std::optional<VisemeCue> targetOf(std::size_t i) const;
    double relativeLoudness(std::size_t i) const;
    double vowelWeight(std::size_t i) const;
    void addTarget(VisemeCue target);
    void release(int holdMs);
    std::int64_t markOf(std::size_t i) const;
    std::int64_t startOf(std::size_t i) const;
    std::int64_t endOf(std::size_t i) const;
    int durationMs(std::size_t i) const;
    std::int64_t ms(int milliseconds) const { return std::int64_t(milliseconds) * rate_ / 1000; }

    int rate_;
    PhoneTiming timing_;
    LoudnessTrack loudness_;
    double loudestVowel_ = 0;
    std::vector<PhoneMark> phones_;   // as the engine marked them
    std::size_t planned_ = 0;         // phones before this one have their targets
    std::optional<VisemeCue> open_;   // the last target: its settle time waits for the next one
    int openFrom_ = 0;                // the shape before it
    int openAfterMs_ = 0;             // and how long that was held
    std::deque<VisemeCue> ready_;
    std::optional<std::int64_t> end_; // set by finish()
};

}  // namespace vizmo::speech
