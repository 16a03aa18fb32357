#include "components/speech/engine_thread.h"

#include "components/speech/espeak_engine.h"
#include "components/speech/flite_engine.h"

#include <mutex>

namespace vizmo::speech {

EngineThread& EngineThread::of(EngineKind kind)
{
    // Never destroyed: an engine may not be shut down and started again.
    static EngineThread* espeak = nullptr;
    static EngineThread* flite = nullptr;
    static std::mutex guard;
    std::lock_guard lock(guard);
    EngineThread*& slot = kind == EngineKind::Espeak ? espeak : flite;
    if (!slot)
        slot = new EngineThread(kind);
    return *slot;
}

EngineThread::EngineThread(EngineKind kind)
{
    thread_.setObjectName(kind == EngineKind::Espeak ? QStringLiteral("espeak-ng") : QStringLiteral("flite"));
    context_ = new QObject;
    context_->moveToThread(&thread_);
    thread_.start();

    auto promise = std::make_shared<std::promise<EngineInfo>>();
    info_ = promise->get_future().share();
    QMetaObject::invokeMethod(context_, [this, kind, promise] {
        if (kind == EngineKind::Espeak)
            engine_ = std::make_unique<EspeakEngine>();
        else
            engine_ = std::make_unique<FliteEngine>();
        EngineInfo info;
        info.voices = engine_->voices();
        for (int i = 0; i < info.voices.size(); ++i)
            info.sampleRates.append(engine_->sampleRate(i));
        promise->set_value(std::move(info));
    }, Qt::QueuedConnection);
}

void EngineThread::post(std::function<void(SpeechEngine&)> task)
{
    QMetaObject::invokeMethod(context_, [this, task = std::move(task)] { task(*engine_); }, Qt::QueuedConnection);
}

const EngineInfo& EngineThread::info() { return info_.get(); }

}  // namespace vizmo::speech
