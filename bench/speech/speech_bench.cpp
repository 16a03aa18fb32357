// Prints, for both engines side by side: time from Play to the first audio
// handed to the output, the real-time factor of synthesis, the lip-sync
// offset (when a shape reaches the player minus when its sound is heard, on
// the audio clock), and the longest stall of the UI event loop while a 20 KB
// text is being synthesised, with the strip on screen (beside the same loop
// when not speaking, and the longest single UI event in CPU time, so that a
// busy machine can be told from a slow handler). Runs on the silent clock
// unless --device is given.
#include "components/speech/engine_thread.h"
#include "components/speech/kvtts_component.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <future>
#include <numeric>
#include <vector>

using namespace vizmo;
using namespace vizmo::speech;
using dispatch::I4;
using dispatch::Str;

namespace {

const QString kParagraph = QStringLiteral(
    "Good morning, and welcome to the demonstration. Today we will look at how a face can speak "
    "with a voice that is made while you listen. Every word you hear is turned into mouth shapes, "
    "which follow the sound as closely as the eye can tell.");

struct Figures {
    double firstAudioMs = 0;
    double realTimeFactor = 0;
    double meanOffsetMs = 0, meanAbsOffsetMs = 0, earliestMs = 0, latestMs = 0;
    int cues = 0;
    double playCallMs = 0, longestStallMs = 0, quietGapMs = 0, longestEventMs = 0;
};

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

KVTTSComponent* makeComponent(const QString& interfaceName, bool device)
{
    auto* c = new KVTTSComponent;
    c->speaker().output().setSilentForced(!device);
    c->put(id::Interface, Str(interfaceName));
    return c;
}

double measureFirstAudio(const QString& interfaceName, bool device)
{
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        std::unique_ptr<KVTTSComponent> c(makeComponent(interfaceName, device));
        c->put(id::Text, Str(kParagraph));
        QElapsedTimer t;
        double first = -1;
        QObject::connect(&c->speaker().output(), &audio::PcmOutput::pcmHandedOver, [&](const QByteArray&, qint64) {
            if (first < 0)
                first = double(t.nsecsElapsed()) / 1e6;
        });
        t.start();
        c->call(id::Play);
        spinUntil([&] { return first >= 0; }, 5000);
        c->call(id::Stop);
        if (i > 0)  // the first run warms caches
            runs.push_back(first);
    }
    return median(runs);
}

double measureRealTimeFactor(EngineKind kind)
{
    struct Sink : SynthesisSink {
        std::int64_t samples = 0;
        bool cancelled() const override { return false; }
        void deliver(SpeechChunk&& c) override { samples += std::int64_t(c.samples.size()); }
    };
    auto promise = std::make_shared<std::promise<double>>();
    auto result = promise->get_future();
    EngineThread::of(kind).post([promise](SpeechEngine& engine) {
        Sink sink;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 3; ++i)
            engine.synthesize(kParagraph, {}, sink);
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        promise->set_value(seconds / (double(sink.samples) / engine.sampleRate(0)));
    });
    return result.get();
}

void measureLipSync(const QString& interfaceName, bool device, Figures& f)
{
    std::unique_ptr<KVTTSComponent> c(makeComponent(interfaceName, device));
    c->put(id::Text, Str(kParagraph));
    c->put(id::Speed, I4(70));
    std::vector<double> offsets;
    Speaker& speaker = c->speaker();
    QObject::connect(&speaker, &Speaker::visemeDue, [&](const VisemeCue& cue) {
        const double heardMs = double(cue.startSample) * 1000.0 / speaker.sampleRate();
        offsets.push_back(double(speaker.output().positionUs()) / 1000.0 - heardMs);
    });
    bool ended = false;
    QObject::connect(&speaker, &Speaker::finished, [&] { ended = true; });
    c->call(id::Play);
    spinUntil([&] { return ended; }, 60000);
    if (!offsets.empty())
        offsets.pop_back();  // the resting shape after the end has no sound of its own
    f.cues = int(offsets.size());
    if (offsets.empty())
        return;
    f.meanOffsetMs = std::accumulate(offsets.begin(), offsets.end(), 0.0) / double(offsets.size());
    double abs = 0;
    for (double o : offsets)
        abs += std::abs(o);
    f.meanAbsOffsetMs = abs / double(offsets.size());
    f.earliestMs = *std::min_element(offsets.begin(), offsets.end());
    f.latestMs = *std::max_element(offsets.begin(), offsets.end());
}

// Counts how long the UI thread spends in each event it handles, in CPU time
// of that thread, so a stall of our own can be told from the machine being busy.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    double longestEventMs = 0;
    bool notify(QObject* receiver, QEvent* event) override
    {
        // The engines' threads deliver their own events through here too.
        if (QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const double before = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        longestEventMs = std::max(longestEventMs, threadCpuMs() - before);
        --depth_;
        return handled;
    }

private:
    static double threadCpuMs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    }
    int depth_ = 0;
};

struct Stall {
    double longestGapMs = 0;    // wall clock between two 1 ms ticks
    double longestEventMs = 0;  // CPU time of the UI thread in one event
};

// Three seconds of a 1 ms timer on the UI thread with the strip on screen,
// with `speak` deciding whether the 20 KB text is spoken meanwhile.
Stall measureLoop(KVTTSComponent& c, bool speak)
{
    auto* app = static_cast<TimedApplication*>(QCoreApplication::instance());
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    ticker.start(1);
    spin(50);
    longest = 0;
    app->longestEventMs = 0;
    sinceTick.restart();
    if (speak)
        c.call(id::Play);
    spin(3000);  // synthesis fills its lead of several seconds meanwhile
    c.call(id::Stop);
    return {longest, app->longestEventMs};
}

void measureStall(const QString& interfaceName, bool device, Figures& f)
{
    QString text;
    while (text.size() < 20000)
        text += kParagraph + u' ';
    std::unique_ptr<KVTTSComponent> c(makeComponent(interfaceName, device));
    c->put(id::Text, Str(text));
    c->show();
    const Stall quiet = measureLoop(*c, false);
    QElapsedTimer call;
    call.start();
    c->call(id::Play);
    f.playCallMs = double(call.nsecsElapsed()) / 1e6;
    c->call(id::Stop);
    const Stall speaking = measureLoop(*c, true);
    f.quietGapMs = quiet.longestGapMs;
    f.longestStallMs = speaking.longestGapMs;
    f.longestEventMs = speaking.longestEventMs;
}

}  // namespace

int main(int argc, char** argv)
{
    TimedApplication app(argc, argv);
    const bool device = app.arguments().contains(QStringLiteral("--device"));
    std::printf("speech_bench: %s output\n\n", device ? "device" : "silent-clock");

    const QString names[] = {kInterfaceEspeak, kInterfaceFlite};
    const EngineKind kinds[] = {EngineKind::Espeak, EngineKind::Flite};
    Figures figures[2];
    for (int e = 0; e < 2; ++e) {
        EngineThread::of(kinds[e]).info();  // both engines started before anything is timed
    }
    for (int e = 0; e < 2; ++e) {
        figures[e].firstAudioMs = measureFirstAudio(names[e], device);
        figures[e].realTimeFactor = measureRealTimeFactor(kinds[e]);
        measureLipSync(names[e], device, figures[e]);
        measureStall(names[e], device, figures[e]);
    }
    std::printf("%-44s %14s %14s\n", "", "eSpeak NG", "Flite (slt)");
    auto row = [&](const char* label, auto get, const char* unit) {
        std::printf("%-44s %11.2f %-2s %11.2f %-2s\n", label, get(figures[0]), unit, get(figures[1]), unit);
    };
    row("Play -> first audio handed over (median)", [](const Figures& f) { return f.firstAudioMs; }, "ms");
    row("real-time factor (synthesis / audio)", [](const Figures& f) { return f.realTimeFactor; }, "");
    row("lip sync: mean offset (negative = early)", [](const Figures& f) { return f.meanOffsetMs; }, "ms");
    row("lip sync: mean |offset|", [](const Figures& f) { return f.meanAbsOffsetMs; }, "ms");
    row("lip sync: earliest shape", [](const Figures& f) { return f.earliestMs; }, "ms");
    row("lip sync: latest shape", [](const Figures& f) { return f.latestMs; }, "ms");
    row("lip sync: shapes measured", [](const Figures& f) { return double(f.cues); }, "");
    row("20 KB text: Play call", [](const Figures& f) { return f.playCallMs; }, "ms");
    row("20 KB text: longest UI stall (3 s)", [](const Figures& f) { return f.longestStallMs; }, "ms");
    row("  same 3 s, not speaking (machine noise)", [](const Figures& f) { return f.quietGapMs; }, "ms");
    row("  longest UI event while speaking (CPU)", [](const Figures& f) { return f.longestEventMs; }, "ms");
    std::printf("\nflite/espeak first-audio ratio: %.2f\n", figures[1].firstAudioMs / std::max(1e-3, figures[0].firstAudioMs));
    return 0;
}
