#include "components/speech/quiet_start.h"

#include <algorithm>
#include <cstdlib>

namespace vizmo::speech {

namespace {
// -50 dBFS: above either engine's breath noise (Flite's pause peaks near 35),
// below the soft start of an h or a voiced closure.
constexpr int kAudible = 100;
// Kept before the first audible sample: the onset itself is never cut into,
// and a first phone cut shorter than this leaves the mouth, which cannot move
// before Play, no time to show the vowel after it (a p before "ee").
constexpr int kKeptMs = 30;
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
      maxHeld_(std::int64_t(sampleRate) * kMaxHeldMs / 1000)
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
    const std::size_t searched = held_.samples.size();
    held_.samples.insert(held_.samples.end(), chunk.samples.begin(), chunk.samples.end());
    held_.phones.insert(held_.phones.end(), chunk.phones.begin(), chunk.phones.end());
    held_.words.insert(held_.words.end(), chunk.words.begin(), chunk.words.end());
    const auto loud = std::find_if(held_.samples.begin() + std::ptrdiff_t(searched), held_.samples.end(),
                                   [](std::int16_t s) { return std::abs(int(s)) >= kAudible; });
    if (loud != held_.samples.end())
        release(std::max<std::int64_t>(0, (loud - held_.samples.begin()) - keep_));
    else if (std::int64_t(held_.samples.size()) > maxHeld_)
        release(0);
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
