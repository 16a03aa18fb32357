#pragma once
// Passes on one part of an utterance's output, so that the start of one
// utterance can be joined to the rest of another that says the same words
// as part of a longer text: the head, before a splice in a voiceless stop's
// closure, or the tail, from the splice in the same stop. Each part splices
// at the quietest 5 ms of its closure, where both are near silence, so the
// join is not heard. Marks go with the part their sound starts in; the
// tail's are counted from its splice. Whole passes everything on.

#include "components/speech/speech_engine.h"

#include <cstdint>
#include <vector>

namespace vizmo::speech {

class UtteranceCut {
public:
    enum class Part { Whole, Head, Tail };

    // Marks passed on are moved by `offset`: the text's samples before this part.
    UtteranceCut(SynthesisSink& next, Part part, int sampleRate, std::int64_t offset);

    // The stop's closure, in samples of the utterance. A head or tail without
    // one cannot be cut: a head then passes nothing on, a tail everything.
    void setClosure(std::int64_t from, std::int64_t to);
    // Marks of the utterance, in its own samples, before any of its sound.
    void addMarks(std::vector<PhoneMark> phones, std::vector<WordMark> words);
    // The utterance's next samples, in order.
    void addSamples(const std::int16_t* samples, std::int64_t count);
    // A head has passed on everything up to its splice: no more is wanted.
    bool done() const { return done_; }
    Part part() const { return part_; }
    // Whether the cut was made (always false for Whole).
    bool spliced() const { return splice_ >= 0; }
    // Samples passed on so far.
    std::int64_t passed() const { return passed_; }

private:
    bool cutting() const { return part_ != Part::Whole && closureTo_ > closureFrom_; }
    void findSplice();
    void pass(SpeechChunk&& chunk);
    template <typename Mark>
    void takeMarks(std::vector<Mark>& waiting, std::vector<Mark>& into);

    SynthesisSink& next_;
    const Part part_;
    const std::int64_t window_;  // the quiet stretch looked for
    const std::int64_t offset_;
    std::int64_t closureFrom_ = -1;
    std::int64_t closureTo_ = -1;
    std::int64_t received_ = 0;  // utterance samples seen
    std::int64_t splice_ = -1;
    std::int64_t passed_ = 0;
    bool done_ = false;
    std::vector<std::int16_t> closure_;  // the closure's samples, until the splice is known
    std::vector<PhoneMark> phones_;      // marks waiting for the splice
    std::vector<WordMark> words_;
};

}  // namespace vizmo::speech
