#pragma once
// One worker thread per engine for the whole process. eSpeak NG keeps global
// state and must be initialised exactly once and always called from the same
// thread; Flite is kept the same way so that both behave alike. The engine is
// created on its thread by the first task, and its voice list is kept here so
// the UI thread can read it while the engine is busy speaking.

#include "components/speech/speech_engine.h"

#include <QList>
#include <QObject>
#include <QThread>

#include <functional>
#include <future>
#include <memory>

namespace vizmo::speech {

struct EngineInfo {
    QList<VoiceInfo> voices;
    QList<int> sampleRates;  // per voice
};

class EngineThread {
public:
    // The process-wide thread of an engine, started on first use.
    static EngineThread& of(EngineKind kind);

    // Runs `task` on the engine's thread, after the tasks posted before it.
    void post(std::function<void(SpeechEngine&)> task);
    // Waits (only the first time, a few milliseconds) for the engine to start.
    const EngineInfo& info();

private:
    explicit EngineThread(EngineKind kind);
    QThread thread_;
    QObject* context_ = nullptr;  // lives on thread_: queued tasks run there
    std::unique_ptr<SpeechEngine> engine_;  // used only on thread_
    std::shared_future<EngineInfo> info_;
};

}  // namespace vizmo::speech
