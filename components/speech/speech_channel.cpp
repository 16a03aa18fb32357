#include "components/speech/speech_channel.h"

#include <chrono>

namespace vizmo::speech {

SpeechChannel::SpeechChannel(QObject* receiver, ChunkHandler onChunk, DoneHandler onDone,
                             std::int64_t aheadLimitSamples)
    : receiver_(receiver), onChunk_(std::move(onChunk)), onDone_(std::move(onDone)), aheadLimit_(aheadLimitSamples)
{
}

void SpeechChannel::deliver(SpeechChunk&& chunk)
{
    {
        std::unique_lock lock(mutex_);
        // Synthesis is much faster than speech: keep it a few seconds ahead, not minutes.
        room_.wait(lock, [this] { return cancelled_.load() || produced_ - played_ < aheadLimit_; });
        if (cancelled_.load())
            return;
        produced_ += std::int64_t(chunk.samples.size());
    }
    QObject* receiver = receiver_.data();
    if (!receiver)
        return;
    QMetaObject::invokeMethod(
        receiver, [handler = onChunk_, chunk = std::move(chunk)]() mutable { handler(std::move(chunk)); },
        Qt::QueuedConnection);
}

void SpeechChannel::done()
{
    if (QObject* receiver = receiver_.data())
        QMetaObject::invokeMethod(receiver, onDone_, Qt::QueuedConnection);
}

void SpeechChannel::cancel()
{
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    room_.notify_all();
}

void SpeechChannel::setPlayed(std::int64_t samples)
{
    {
        std::lock_guard lock(mutex_);
        if (samples <= played_)
            return;
        played_ = samples;
    }
    room_.notify_all();
}

}  // namespace vizmo::speech
