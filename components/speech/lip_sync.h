#pragma once
// Turns an engine's phones into mouth cues that do not flicker: equal
// neighbours are joined, a shape shorter than the minimum hold absorbs the
// next phone (the more visible shape wins: closures, then lip shapes, then
// vowels, then tongue consonants, silence last), and each cue is due a little
// before it is heard, closures earlier than the rest.

#include "components/speech/speech_engine.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vizmo::speech {

struct LipSyncTiming {
    int minHoldMs = 70;
    int leadMs = 12;         // every shape is due this much before its sound
    int closureLeadMs = 35;  // lips close earlier (P, B, M)
    int minBlendMs = 30;
    int maxBlendMs = 80;
};

struct VisemeCue {
    std::int64_t startSample = 0;  // when it is heard
    std::int64_t dueSample = 0;    // when it goes to the player
    int viseme = 0;
    int weight = 255;
    int blendMs = 40;
};

class LipSync {
public:
    explicit LipSync(int sampleRate, LipSyncTiming timing = {});

    // Phones in time order, across as many calls as chunks come.
    void addPhones(const std::vector<PhoneMark>& phones);
    // No more phones: the last shape lasts until `endSample`, then the mouth rests.
    void finish(std::int64_t endSample);

    // Cues due at or before `sample`, each handed out once, in order.
    std::vector<VisemeCue> takeDue(std::int64_t sample);
    // Every cue not yet handed out (the tail after the sound has ended).
    std::vector<VisemeCue> takeAll();

    static int dominance(int viseme);

private:
    void close(std::int64_t endSample);
    std::int64_t ms(int milliseconds) const { return std::int64_t(milliseconds) * rate_ / 1000; }

    int rate_;
    LipSyncTiming timing_;
    std::optional<PhoneMark> open_;  // the shape whose end is not known yet
    std::deque<VisemeCue> ready_;
    bool finished_ = false;
};

}  // namespace vizmo::speech
