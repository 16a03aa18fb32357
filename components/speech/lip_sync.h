#pragma once
// Turns an engine's phones into the mouth's targets, by the rules animators
// use for speech, in small passes over the phones as they arrive:
//  - every vowel gets its own shape, opened by its stress and its length
//    (reduced and short vowels open less), so no vowel is ever hidden;
//  - P, B and M close the lips and F and V put the lip to the teeth, for
//    their own phone only;
//  - consonants that hardly show on the lips (t, d, n, k, g, h, l) get no
//    shape of their own: the mouth passes through them from the shape before
//    to the shape after, which starts half way through them;
//  - rounding (oo, oh, w) starts with the first of up to two consonants
//    before it;
//  - equal neighbours are joined.
// Each target is due viseme_timing::kLeadMs before it is heard and carries
// how fast the player's spring should reach it.

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

class LipSync {
public:
    explicit LipSync(int sampleRate);

    // Phones in time order, across as many calls as chunks come.
    void addPhones(const std::vector<PhoneMark>& phones);
    // No more phones: the last one lasts until `endSample`, then the mouth rests.
    void finish(std::int64_t endSample);

    // Cues due at or before `sample`, each handed out once, in order.
    std::vector<VisemeCue> takeDue(std::int64_t sample);
    // Every cue not yet handed out (the tail after the sound has ended).
    std::vector<VisemeCue> takeAll();

private:
    void plan(std::size_t upTo);
    std::optional<VisemeCue> targetOf(std::size_t i) const;
    void addTarget(VisemeCue target);
    std::int64_t endOf(std::size_t i) const;
    int durationMs(std::size_t i) const;
    std::int64_t ms(int milliseconds) const { return std::int64_t(milliseconds) * rate_ / 1000; }

    int rate_;
    std::vector<PhoneMark> phones_;
    std::size_t planned_ = 0;         // phones before this one have their targets
    std::optional<VisemeCue> open_;   // the last target: its settle time waits for the next one
    std::deque<VisemeCue> ready_;
    std::optional<std::int64_t> end_; // set by finish()
};

}  // namespace vizmo::speech
