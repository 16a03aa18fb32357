#include "components/speech/utterance_cut.h"

#include <algorithm>

namespace vizmo::speech {

namespace {
constexpr int kQuietMs = 5;
}  // namespace

UtteranceCut::UtteranceCut(SynthesisSink& next, Part part, int sampleRate, std::int64_t offset)
    : next_(next), part_(part), window_(std::max(1, sampleRate * kQuietMs / 1000)), offset_(offset)
{
}

void UtteranceCut::setClosure(std::int64_t from, std::int64_t to)
{
    closureFrom_ = from;
    closureTo_ = to;
}

void UtteranceCut::pass(SpeechChunk&& chunk)
{
    if (chunk.samples.empty() && chunk.phones.empty() && chunk.words.empty())
        return;
    passed_ += std::int64_t(chunk.samples.size());
    for (PhoneMark& p : chunk.phones)
        p.startSample += offset_;
    for (WordMark& w : chunk.words)
        w.startSample += offset_;
    next_.deliver(std::move(chunk));
}

template <typename Mark>
void UtteranceCut::takeMarks(std::vector<Mark>& waiting, std::vector<Mark>& into)
{
    // Until the splice is known a head passes what starts before its closure
    // and a tail waits; a head that cannot be cut passes nothing.
    std::vector<Mark> still;
    for (Mark m : waiting) {
        if (!cutting()) {
            if (part_ != Part::Head)
                into.push_back(m);
        } else if (!spliced()) {
            if (part_ == Part::Head && m.startSample < closureFrom_)
                into.push_back(m);
            else
                still.push_back(m);
        } else if (part_ == Part::Head) {
            if (m.startSample < splice_)
                into.push_back(m);
        } else if (m.startSample >= splice_) {
            m.startSample -= splice_;
            into.push_back(m);
        }
    }
    waiting = std::move(still);
}

void UtteranceCut::addMarks(std::vector<PhoneMark> phones, std::vector<WordMark> words)
{
    if (done_)
        return;
    phones_.insert(phones_.end(), phones.begin(), phones.end());
    words_.insert(words_.end(), words.begin(), words.end());
    SpeechChunk chunk;
    takeMarks(phones_, chunk.phones);
    takeMarks(words_, chunk.words);
    pass(std::move(chunk));
}

void UtteranceCut::addSamples(const std::int16_t* samples, std::int64_t count)
{
    if (done_ || count <= 0)
        return;
    if (!cutting()) {
        if (part_ == Part::Head) {
            done_ = true;
            return;
        }
        SpeechChunk chunk;
        chunk.samples.assign(samples, samples + count);
        received_ += count;
        pass(std::move(chunk));
        return;
    }
    const std::int64_t at = received_;
    received_ += count;
    // The part of these samples before, inside and after the closure.
    auto slice = [&](std::int64_t from, std::int64_t to) {
        from = std::clamp(from, at, at + count);
        to = std::clamp(to, at, at + count);
        return std::vector<std::int16_t>(samples + (from - at), samples + (to - at));
    };
    SpeechChunk chunk;
    if (part_ == Part::Head && !spliced())
        chunk.samples = slice(at, closureFrom_);
    const std::vector<std::int16_t> inside = slice(closureFrom_, closureTo_);
    closure_.insert(closure_.end(), inside.begin(), inside.end());
    if (!spliced() && received_ >= closureTo_) {
        findSplice();
        const auto cut = closure_.begin() + (splice_ - closureFrom_);
        if (part_ == Part::Head) {
            chunk.samples.insert(chunk.samples.end(), closure_.begin(), cut);
            done_ = true;
        } else {
            chunk.samples.assign(cut, closure_.end());
        }
        closure_.clear();
        takeMarks(phones_, chunk.phones);
        takeMarks(words_, chunk.words);
    }
    if (part_ == Part::Tail && spliced()) {
        const std::vector<std::int16_t> after = slice(closureTo_, at + count);
        chunk.samples.insert(chunk.samples.end(), after.begin(), after.end());
    }
    pass(std::move(chunk));
}

void UtteranceCut::findSplice()
{
    // The middle of the quietest stretch of the closure.
    const std::int64_t length = std::int64_t(closure_.size());
    std::int64_t best = 0;
    double quietest = -1;
    const std::int64_t step = std::max<std::int64_t>(1, window_ / kQuietMs);
    for (std::int64_t from = 0; from + window_ <= length; from += step) {
        double energy = 0;
        for (std::int64_t i = from; i < from + window_; ++i)
            energy += double(closure_[std::size_t(i)]) * closure_[std::size_t(i)];
        if (quietest < 0 || energy < quietest) {
            quietest = energy;
            best = from;
        }
    }
    splice_ = closureFrom_ + std::min(length, best + std::min(window_, length) / 2);
}

}  // namespace vizmo::speech
