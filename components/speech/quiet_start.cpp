#include "components/speech/quiet_start.h"

#include "components/speech/lip_sync.h"

#include <algorithm>
#include <cstdlib>

namespace vizmo::speech {

namespace {
// -50 dBFS: above either engine's breath noise (Flite's pause peaks near 35),
// below the soft start of an h or a voiced closure.
constexpr int kAudible = 100;
// An audible sample starts the sound only if a tenth of the 10 ms from it are
// audible too: a stop's closure may hold a lone click (Flite's "Peter" has
// one 25 ms before its burst), which is not yet the word.
constexpr int kConfirmMs = 10;
constexpr std::size_t kConfirmShare = 10;
// Kept before the first audible sample, so that the onset itself is never
// cut into; and more, up to kMostKeptMs, when the text's first vowel would
// then be heard sooner than kFirstVowelMs into the sound. The mouth, seen
// viseme_timing::kPresentationMs after the played clock, shows a vowel for
// half its length only from there (Flite's "ee" of "Peter" comes 14 ms after
// the burst).
constexpr int kKeptMs = 5;
constexpr int kFirstVowelMs = 23;
constexpr int kMostKeptMs = 30;
constexpr int kMaxHeldMs = 1000;

template <typename Mark>
void moveEarlier(std::vector<Mark>& marks, std::int64_t samples)
{
    for (Mark& m : marks)
        m.startSample = std::max<std::int64_t>(0, m.startSample - samples);
}
}  // namespace

QuietStartSink::QuietStartSink(SynthesisSink& next, int sampleRate)
    : next_(next), keep_(std::int64_t(sampleRate) * kKeptMs / 1000),
      firstVowel_(std::int64_t(sampleRate) * kFirstVowelMs / 1000), mostKept_(std::int64_t(sampleRate) * kMostKeptMs / 1000),
      confirm_(std::size_t(std::max(1, sampleRate * kConfirmMs / 1000))), maxHeld_(std::int64_t(sampleRate) * kMaxHeldMs / 1000)
{
}

void QuietStartSink::deliver(SpeechChunk&& chunk)
{
    if (open_) {
        moveEarlier(chunk.phones, cut_);
        moveEarlier(chunk.words, cut_);
        next_.deliver(std::move(chunk));
        return;
    }
    held_.samples.insert(held_.samples.end(), chunk.samples.begin(), chunk.samples.end());
    held_.phones.insert(held_.phones.end(), chunk.phones.begin(), chunk.phones.end());
    held_.words.insert(held_.words.end(), chunk.words.begin(), chunk.words.end());
    if (const std::int64_t onset = findOnset(); onset >= 0)
        release(std::max<std::int64_t>(0, onset - keptBefore(onset)));
    else if (std::int64_t(held_.samples.size()) > maxHeld_)
        release(0);
}

std::int64_t QuietStartSink::findOnset()
{
    const std::vector<std::int16_t>& s = held_.samples;
    const auto audible = [&](std::size_t i) { return std::abs(int(s[i])) >= kAudible; };
    for (; searchFrom_ < s.size(); ++searchFrom_) {
        if (!audible(searchFrom_))
            continue;
        if (searchFrom_ + confirm_ > s.size())
            return -1;  // looked at again when more has come
        std::size_t count = 0;
        for (std::size_t i = searchFrom_; i < searchFrom_ + confirm_; ++i)
            count += audible(i);
        if (count * kConfirmShare >= confirm_)
            return std::int64_t(searchFrom_);
    }
    return -1;
}

std::int64_t QuietStartSink::keptBefore(std::int64_t onset) const
{
    const auto vowel = std::find_if(held_.phones.begin(), held_.phones.end(), showsAsVowel);
    if (vowel == held_.phones.end())
        return keep_;  // none yet: it comes later than the held sound
    return std::clamp(firstVowel_ - (vowel->startSample - onset), keep_, mostKept_);
}

void QuietStartSink::flush()
{
    if (!open_)
        release(0);
}

void QuietStartSink::release(std::int64_t cut)
{
    open_ = true;
    cut_ = cut;
    held_.samples.erase(held_.samples.begin(), held_.samples.begin() + std::ptrdiff_t(cut));
    moveEarlier(held_.phones, cut);
    moveEarlier(held_.words, cut);
    if (!held_.samples.empty() || !held_.phones.empty() || !held_.words.empty())
        next_.deliver(std::move(held_));
    held_ = {};
}

}  // namespace vizmo::speech
