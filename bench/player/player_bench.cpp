// Prints what the player costs, for the built-in face (anna.qvm) and a drawn
// character (mira.qvm) side by side: one frame at 256 and at 1024 pixels,
// the first frame after a change of size,
// and the share of one core the program uses while the player idles at 30
// and 60 frames per second (LifeMode 3, nothing playing, the widget shown).
// The idle figures take turns, a second of each model at a time, so a
// machine whose load drifts weighs on both alike. Each idle second is
// followed by a second of the same model listening to a person's voice at
// 30 frames a second: an input handing over 10 ms of 48 kHz stereo at a
// time (Italian syllables from klettres-data, looped), converted and
// analysed on its own thread as the system's input is, and the mouth
// following it; the difference is what listening costs. Then the figures
// of a face that moves (moving_figures.h): the frames of a speaking passage
// at 256, 512 and 1024 pixels, and the share of a core while it speaks in
// the window, each in a process of its own, side by side with a reference
// build of this bench (build_reference.sh) when one is given.
//
//   player_bench [CONTENT] [--frames-only N] [--models A.qvm,B.qvm]
//                [--reference PLAYER_BENCH] [--rounds N] [--moving-only]
//
// --frames-only renders N frames at 256 pixels of the first model and
// nothing else, for a run under
// `valgrind --tool=callgrind --toggle-collect='*Vizmo4::paintEvent*'`,
// whose instruction counts repeat from run to run on a shared machine.
#include "moving_figures.h"

#include "bench_measures.h"

#include "components/player/vizmo4.h"
#include "components/player_control.h"
#include "support/syllable_recordings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTimer>


#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using namespace vizmo;
using bench::cpuSeconds;
using bench::PaintCounter;

namespace {


// Time of rendering the widget, at this size, into an image of its own size.
double renderMs(player::Vizmo4& player, int side)
{
    player.resize(side, side);
    QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    player.render(&target);
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median time of a frame at one size.
double frameMs(player::Vizmo4& player, int side, int frames)
{
    std::vector<double> times;
    for (int i = 0; i < frames; ++i)
        times.push_back(renderMs(player, side));
    return median(times);
}

// Median time of the first frame after each change of size, which is when
// a figure's kept layers are drawn again: what a resize costs the window.
double resizedFrameMs(player::Vizmo4& player, int frames)
{
    std::vector<double> times;
    for (int i = 0; i < frames; ++i)
        times.push_back(renderMs(player, i % 2 ? 512 : 520));
    return median(times);
}


struct Idle {
    double cpuSeconds = 0, wallSeconds = 0;
    int paints = 0;
};

// One second of idling, after the model has settled (its first frame drawn).
void idleSlice(PaintCounter& counter, Idle& idle)
{
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
    counter.paints = 0;
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    idle.cpuSeconds += cpuSeconds() - cpuStart;
    idle.wallSeconds += double(wall.nsecsElapsed()) / 1e9;
    idle.paints += counter.paints;
}

// A sound input playing a recording in real time, as a microphone hands
// over its sound: 10 ms pieces from a thread of its own.
class PlayingInput : public sound_input::SoundInputs {
public:
    static constexpr int kRate = 48000;
    explicit PlayingInput(std::vector<float> stereo) : sound_(std::move(stereo))
    {
        thread_ = std::thread([this] { run(); });
    }
    ~PlayingInput() override
    {
        stopping_ = true;
        thread_.join();
    }
    std::vector<sound_input::InputDevice> devices() const override { return {{"voice", "A recorded voice", false}}; }
    void listen(const QByteArray& id, PieceSink sink) override
    {
        const std::lock_guard guard(lock_);
        sink_ = id.isEmpty() ? PieceSink() : std::move(sink);
    }
    bool reading() const override { return true; }

private:
    void run()
    {
        constexpr std::size_t kPiece = kRate / 100 * 2;
        auto next = std::chrono::steady_clock::now();
        std::size_t at = 0;
        while (!stopping_) {
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
            const std::lock_guard guard(lock_);
            if (!sink_ || sound_.size() < kPiece)
                continue;
            if (at + kPiece > sound_.size())
                at = 0;
            sink_({std::span(sound_).subspan(at, kPiece), kRate, 2, std::chrono::steady_clock::now()});
            at += kPiece;
        }
    }

    std::vector<float> sound_;
    std::mutex lock_;
    PieceSink sink_;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

// A person's syllables, as 48 kHz stereo.
std::vector<float> voice()
{
    const auto names = vizmo::testing::syllablesOf(QStringLiteral("it"), QStringLiteral("bmpfvdlnst"), QStringLiteral("aeiou"));
    const auto mono = vizmo::testing::joinSyllables(QStringLiteral("it"), names, PlayingInput::kRate, 80);
    std::vector<float> stereo;
    if (mono) {
        for (float s : mono->samples)
            stereo.push_back(s), stereo.push_back(s);
    }
    return stereo;
}

bool load(player::Vizmo4& player, const QString& path)
{
    const auto result = player.put(player::id::ModelName, dispatch::Str(path));
    if (!result.ok())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error().description));
    return result.ok();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    // A process of the moving figures' rounds.
    if (const std::optional<int> round = bench::runMovingRound(args))
        return *round;
    const qsizetype referenceAt = args.indexOf(QStringLiteral("--reference"));
    const QString reference = referenceAt > 0 ? args.value(referenceAt + 1) : QString();
    const qsizetype roundsAt = args.indexOf(QStringLiteral("--rounds"));
    const int rounds = roundsAt > 0 ? args.value(roundsAt + 1).toInt() : 3;
    const qsizetype framesOnlyAt = args.indexOf(QStringLiteral("--frames-only"));
    const int framesOnly = framesOnlyAt > 0 ? args.value(framesOnlyAt + 1).toInt() : 0;
    const qsizetype modelsAt = args.indexOf(QStringLiteral("--models"));
    const QStringList names = modelsAt > 0 ? args.value(modelsAt + 1).split(u',')
                                           : QStringList{QStringLiteral("anna.qvm"), QStringLiteral("mira.qvm")};
    const QString content = args.size() > 1 && !args[1].startsWith(QStringLiteral("--")) ? args[1]
                                                                                            : QApplication::applicationDirPath();
    QStringList models;
    for (const QString& name : names)
        models << content + QStringLiteral("/qvm/") + name;
    if (args.contains(QStringLiteral("--moving-only"))) {
        bench::compareMovingFigures(QApplication::applicationFilePath(), reference, models, rounds);
        return 0;
    }
    player::Vizmo4 player;
    const std::vector<float> recording = voice();
    if (recording.empty())
        std::fprintf(stderr, "no recorded voice (klettres-data): the listening figures are left out\n");
    player.setSoundInputs([&] { return std::make_unique<PlayingInput>(recording); });
    player.call(player::id::SetHead, {dispatch::I2(60), dispatch::I2(-30), dispatch::I2(20)});

    for (const QString& model : models) {
        if (!load(player, model))
            return 1;
        player.call(player::id::SpeechActive, {dispatch::Bool(true)});
        player.call(player::id::SpeechViseme, {dispatch::I2(10), dispatch::I2(255), dispatch::I4(0)});
        frameMs(player, 256, 20);  // warm caches
        const QString name = QFileInfo(model).fileName();
        if (framesOnly > 0) {
            std::printf("%s frame 256 x 256:   %.3f ms (median of %d)\n", qPrintable(name),
                        frameMs(player, 256, framesOnly), framesOnly);
            return 0;
        }
        const double small = frameMs(player, 256, 400);
        const double large = frameMs(player, 1024, 60);
        const double resized = resizedFrameMs(player, 40);
        std::printf("%s frame 256 x 256:   %.3f ms (median of 400)\n", qPrintable(name), small);
        std::printf("%s frame 1024 x 1024: %.3f ms (median of 60), %.1f x the 256 frame\n", qPrintable(name), large,
                    large / small);
        std::printf("%s first frame at a new size near 512: %.3f ms (median of 40)\n", qPrintable(name), resized);
        player.call(player::id::SpeechActive, {dispatch::Bool(false)});
    }

    player.resize(256, 256);
    PaintCounter counter;
    player.installEventFilter(&counter);
    player.show();
    constexpr int kRounds = 5;
    for (int fps : {30, 60}) {
        player.call(player::id::SetFPS, {dispatch::I4(0), dispatch::I4(fps)});
        const bool listen = fps == 30 && !recording.empty();
        std::vector<Idle> idle(std::size_t(models.size())), listening(std::size_t(models.size()));
        for (int round = 0; round < kRounds; ++round) {
            for (qsizetype m = 0; m < models.size(); ++m) {
                load(player, models[m]);
                idleSlice(counter, idle[std::size_t(m)]);
                if (!listen)
                    continue;
                player.put(player::id::ListenTo, dispatch::Str(QStringLiteral("voice")));
                idleSlice(counter, listening[std::size_t(m)]);
                player.put(player::id::ListenTo, dispatch::Str(QString()));
            }
        }
        for (qsizetype m = 0; m < models.size(); ++m) {
            const Idle& i = idle[std::size_t(m)];
            std::printf("%s idle at %d fps: %.1f %% of one core, %.1f frames painted a second",
                        qPrintable(QFileInfo(models[m]).fileName()), fps, 100 * i.cpuSeconds / i.wallSeconds,
                        i.paints / i.wallSeconds);
            if (m > 0)
                std::printf(", %.2f x %s", (i.cpuSeconds / i.wallSeconds) / (idle[0].cpuSeconds / idle[0].wallSeconds),
                            qPrintable(QFileInfo(models[0]).fileName()));
            std::printf("\n");
            if (!listen)
                continue;
            const Idle& l = listening[std::size_t(m)];
            std::printf("%s listening at %d fps: %.1f %% of one core, %.1f frames painted a second, %+.1f %% beyond "
                        "the idle face\n",
                        qPrintable(QFileInfo(models[m]).fileName()), fps, 100 * l.cpuSeconds / l.wallSeconds,
                        l.paints / l.wallSeconds, 100 * (l.cpuSeconds / l.wallSeconds - i.cpuSeconds / i.wallSeconds));
        }
    }
    player.hide();
    bench::compareMovingFigures(QApplication::applicationFilePath(), reference, models, rounds);
    return 0;
}
