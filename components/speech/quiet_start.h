#pragma once
// Both engines open a text with near-silence: eSpeak NG with 10-50 ms before
// its first sound (a stop's closure such as the p of "Peter" is silent too),
// Flite with a breath pause of 160-200 ms. Before the first word that is only
// a wait after Play, so this sink drops it, down to 5 ms before the first
// audible sample (more when the first vowel follows at once), and moves the
// text's marks with the cut. The cut
// is made once, at the start of a text; later pauses are the text's own.

#include "components/speech/speech_engine.h"

#include <cstdint>

namespace vizmo::speech {

class QuietStartSink : public SynthesisSink {
public:
    QuietStartSink(SynthesisSink& next, int sampleRate);

    bool cancelled() const override { return next_.cancelled(); }
    void deliver(SpeechChunk&& chunk) override;
    // The text is complete: whatever is still held goes on, uncut.
    void flush();
    // Samples dropped from the start of the text.
    std::int64_t cut() const { return cut_; }

private:
    // Where the held sound starts, or -1 while that is not known yet.
    std::int64_t findOnset();
    // Samples kept before the sound that starts at `onset`.
    std::int64_t keptBefore(std::int64_t onset) const;
    void release(std::int64_t cut);

    SynthesisSink& next_;
    const std::int64_t keep_;     // samples kept before the first audible one
    const std::int64_t firstVowel_;  // and more, up to mostKept_, so the first vowel starts this far in
    const std::int64_t mostKept_;
    const std::size_t confirm_;   // samples after an audible one that tell sound from a click
    const std::int64_t maxHeld_;  // a text this quiet for this long is passed on as it is
    bool open_ = false;           // the cut is made: chunks pass, their marks moved
    SpeechChunk held_;
    std::size_t searchFrom_ = 0;  // held samples before this one start no sound
    std::int64_t cut_ = 0;
};

}  // namespace vizmo::speech
