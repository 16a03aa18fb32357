#include "tools/make_speech_script/synthesis.h"

#include "components/speech/engine_thread.h"

#include <future>
#include <memory>

namespace vizmo::speech {

Synthesis synthesize(EngineKind engine, int voice, const QString& text)
{
    return synthesize(engine, SpeechSettings{voice, 50, 50}, text);
}

Synthesis synthesize(EngineKind engine, const SpeechSettings& settings, const QString& text)
{
    struct Sink : SynthesisSink {
        Synthesis out;
        bool cancelled() const override { return false; }
        void deliver(SpeechChunk&& c) override
        {
            out.samples.insert(out.samples.end(), c.samples.begin(), c.samples.end());
            out.phones.insert(out.phones.end(), c.phones.begin(), c.phones.end());
            out.words.insert(out.words.end(), c.words.begin(), c.words.end());
        }
    };
    auto promise = std::make_shared<std::promise<Synthesis>>();
    auto result = promise->get_future();
    EngineThread::of(engine).post([promise, settings, text](SpeechEngine& e) {
        Sink sink;
        e.synthesize(text, settings, sink);
        sink.out.rate = e.sampleRate(settings.voiceIndex);
        promise->set_value(std::move(sink.out));
    });
    return result.get();
}

}  // namespace vizmo::speech
