#pragma once
// Runs one synthesis on an engine's own thread and keeps everything it made.

#include "components/speech/engine_thread.h"

#include <cmath>
#include <future>

namespace vizmo::speech::testing {

struct Synthesis {
    std::vector<std::int16_t> samples;
    std::vector<PhoneMark> phones;
    std::vector<WordMark> words;

    double rms() const
    {
        double sum = 0;
        for (std::int16_t s : samples)
            sum += double(s) * s;
        return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
    }
};

// Keeps every chunk delivered to it, joined.
struct CollectingSink : SynthesisSink {
    Synthesis out;
    bool cancelled() const override { return false; }
    void deliver(SpeechChunk&& c) override
    {
        out.samples.insert(out.samples.end(), c.samples.begin(), c.samples.end());
        out.phones.insert(out.phones.end(), c.phones.begin(), c.phones.end());
        out.words.insert(out.words.end(), c.words.begin(), c.words.end());
    }
};

inline Synthesis synthesize(EngineKind kind, const QString& text, const SpeechSettings& settings)
{
    auto promise = std::make_shared<std::promise<Synthesis>>();
    auto result = promise->get_future();
    EngineThread::of(kind).post([promise, text, settings](SpeechEngine& engine) {
        CollectingSink sink;
        engine.synthesize(text, settings, sink);
        promise->set_value(std::move(sink.out));
    });
    return result.get();
}

}  // namespace vizmo::speech::testing
