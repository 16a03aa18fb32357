#pragma once
// The road from an engine's thread to the UI thread for one Play: chunks are
// posted to a receiver on the UI thread, the engine waits while the listener
// is more than a few seconds behind, and cancel() makes the engine stop soon.

#include "components/speech/speech_engine.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace vizmo::speech {

class SpeechChannel : public SynthesisSink {
public:
    using ChunkHandler = std::function<void(SpeechChunk&&)>;
    using DoneHandler = std::function<void()>;

    // Handlers run on `receiver`'s thread; none runs once the receiver is gone.
    SpeechChannel(QObject* receiver, ChunkHandler onChunk, DoneHandler onDone, std::int64_t aheadLimitSamples);

    bool cancelled() const override { return cancelled_.load(); }
    void deliver(SpeechChunk&& chunk) override;
    // Called by the engine's thread when the text is spoken completely (or cancelled).
    void done();

    // From the receiver's side.
    void cancel();
    void setPlayed(std::int64_t samples);

private:
    QPointer<QObject> receiver_;
    ChunkHandler onChunk_;
    DoneHandler onDone_;
    const std::int64_t aheadLimit_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable room_;
    std::int64_t produced_ = 0;
    std::int64_t played_ = 0;
};

}  // namespace vizmo::speech
