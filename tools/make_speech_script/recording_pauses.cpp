#include "tools/make_speech_script/recording_pauses.h"

#include "components/player_control.h"
#include "components/speech/lip_sync.h"
#include "tools/make_speech_script/stop_closures.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

// Quieter than this under the loudest 10 ms is no sound of the voice.
constexpr double kQuietDb = 40;
// A stop's closure is shorter than a rest, which the mouth shows (see LipSync).
constexpr int kShortestQuietMs = 50;
constexpr int kShortestRestMs = 150;

}  // namespace

std::vector<SampleRange> quietRuns(const Recording& recording, int minMs, double belowDb)
{
    const auto frame = std::max<std::int64_t>(1, recording.rate / 100);
    const auto length = std::int64_t(recording.samples.size());
    std::vector<double> power;
    for (std::int64_t at = 0; at < length; at += frame) {
        double sum = 0;
        const std::int64_t end = std::min(at + frame, length);
        for (std::int64_t i = at; i < end; ++i)
            sum += double(recording.samples[std::size_t(i)]) * recording.samples[std::size_t(i)];
        power.push_back(sum / double(end - at));
    }
    const double loudest = power.empty() ? 0 : *std::max_element(power.begin(), power.end());
    const double quiet = loudest * std::pow(10.0, -belowDb / 10);
    std::vector<SampleRange> runs;
    const std::int64_t shortest = std::int64_t(minMs) * recording.rate / 1000;
    for (std::size_t i = 0; i < power.size();) {
        if (power[i] > quiet) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < power.size() && power[j] <= quiet)
            ++j;
        const SampleRange run{std::int64_t(i) * frame, std::min(std::int64_t(j) * frame, length)};
        if (run.end - run.start >= shortest)
            runs.push_back(run);
        i = j;
    }
    return runs;
}

void keepPausesSilent(TimedSpeech& speech, const Recording& recording)
{
    auto& phones = speech.phones;
    const std::int64_t rest = std::int64_t(kShortestRestMs) * recording.rate / 1000;
    const auto runs = quietRuns(recording, kShortestQuietMs, kQuietDb);
    for (const SampleRange& run : runs) {
        const auto first = std::lower_bound(phones.begin(), phones.end(), run.start,
                                            [](const PhoneMark& p, std::int64_t at) { return p.startSample < at; });
        // The phone heard when the run begins: a rest starts inside it.
        const bool restInside = run.end - run.start >= rest && first != phones.begin() && sounding(*(first - 1));
        // A quiet run too short for a rest may be a stop's closure, which
        // the stop starts with; after a rest, the phone starts with the sound.
        const std::int64_t closure = run.end - run.start < rest
                                         ? run.end - std::int64_t(kLongestClosureMs) * recording.rate / 1000
                                         : run.end;
        for (auto p = first; p != phones.end() && p->startSample < run.end; ++p) {
            if (sounding(*p))
                p->startSample = isStop(*p) ? std::max(p->startSample, closure) : run.end;
        }
        if (restInside)
            phones.insert(first, PhoneMark{run.start, player::viseme::Silence, QByteArrayLiteral("_"), -1});
    }
    // A silence that followed a moved phone keeps the order.
    for (std::size_t i = 1; i < phones.size(); ++i)
        phones[i].startSample = std::max(phones[i].startSample, phones[i - 1].startSample);
    // A word starts where the sound does, and a word that a rest parts from
    // its first sounding phone starts with that phone.
    for (WordMark& word : speech.words) {
        for (const SampleRange& run : runs) {
            if (word.startSample >= run.start && word.startSample < run.end)
                word.startSample = run.end;
        }
        auto phone = std::lower_bound(phones.begin(), phones.end(), word.startSample,
                                      [](const PhoneMark& p, std::int64_t at) { return p.startSample < at; });
        bool rest = false;
        for (; phone != phones.end() && !sounding(*phone); ++phone)
            rest = true;
        if (rest && phone != phones.end())
            word.startSample = phone->startSample;
    }
}

}  // namespace vizmo::speech
