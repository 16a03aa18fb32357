#include "moving_figures.h"

#include "bench_measures.h"
#include "speaking_passage.h"

#include "components/player/vizmo4.h"
#include "components/player_control.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vizmo::bench {

namespace {

constexpr double kFps = 60;  // the passage's frames: 180 of them
constexpr std::array<int, 3> kSides = {256, 512, 1024};
constexpr std::array<int, 2> kWindowSides = {256, 1024};
constexpr double kSpeakingSeconds = 3.0;


bool load(player::Vizmo4& player, const QString& path)
{
    const auto result = player.put(player::id::ModelName, dispatch::Str(path));
    if (!result.ok())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error().description));
    return result.ok();
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}


// The process's CPU time, all threads (Qt's painter fills large spans on a
// pool of its own): on a machine shared with other work, a frame's CPU time
// holds still where its wall time does not.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double part)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::size_t(part * double(values.size() - 1))];
}

// The lines of numbers a process of the bench prints, each after its tag.
QMap<QByteArray, std::vector<double>> runChild(const QString& program, const QStringList& args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, args);
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed\n", qPrintable(program), qPrintable(args.join(u' ')));
        return {};
    }
    QMap<QByteArray, std::vector<double>> lines;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        std::vector<double>& numbers = lines[words.value(0)];
        for (qsizetype i = 1; i < words.size(); ++i)
            numbers.push_back(words[i].toDouble());
    }
    return lines;
}

struct Series {
    QString label;
    QString program;
    QString model;
    bool reference = false;
};

}  // namespace

int printMovingFrames(const QString& model, int side)
{
    player::Vizmo4 player;
    if (!load(player, model))
        return 1;
    player.resize(side, side);
    SpeakingPassage passage(player);
    QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
    // Every mouth shape and a shut lid once at this size, before the clock
    // starts: what a figure prepares once per size is not a moving frame.
    for (int viseme = 0; viseme < player::viseme::Count; ++viseme) {
        player.call(player::id::SpeechViseme, {dispatch::I2(std::int16_t(viseme)), dispatch::I2(255), dispatch::I4(0)});
        player.call(player::id::SetEye, {dispatch::I2(0), dispatch::I2(-255), dispatch::I2(0), dispatch::I2(-255)});
        player.render(&target);
    }
    player.call(player::id::SpeechViseme, {dispatch::I2(0), dispatch::I2(255), dispatch::I4(0)});
    {
        player::Vizmo4 probe;
        std::printf("blinks %d\n", SpeakingPassage::blinks(probe));
    }
    // To look at the frames measured: VIZMO_BENCH_FRAMES=DIR keeps every tenth.
    const QString keep = qEnvironmentVariable("VIZMO_BENCH_FRAMES");
    std::printf("moving");
    const int frames = int(SpeakingPassage::kSeconds * kFps);
    for (int frame = 0; frame < frames; ++frame) {
        passage.at(frame * 1000.0 / kFps);
        const double start = processCpuMs();
        player.render(&target);
        std::printf(" %.4f", processCpuMs() - start);
        if (!keep.isEmpty() && frame % 10 == 0)
            target.save(QStringLiteral("%1/%2-%3-%4.png").arg(keep, QFileInfo(model).baseName()).arg(side).arg(frame, 3, 10, QLatin1Char('0')));
    }
    std::printf("\n");
    return 0;
}

int printSpeakingShare(const QString& model, int fps, int side, double seconds)
{
    player::Vizmo4 player;
    if (!load(player, model))
        return 1;
    player.resize(side, side);
    player.call(player::id::SetFPS, {dispatch::I4(0), dispatch::I4(fps)});
    PaintCounter counter;
    player.installEventFilter(&counter);
    player.show();
    LiveSpeech speech(player);
    QElapsedTimer since;
    since.start();
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, [&] { speech.at(double(since.elapsed())); });
    feeder.start(5);
    wait(500);
    counter.paints = 0;
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait(int(seconds * 1000));
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("speaking %.4f %.2f\n", (cpuSeconds() - cpuStart) / wallSeconds, counter.paints / wallSeconds);
    return 0;
}

std::optional<int> runMovingRound(const QStringList& arguments)
{
    if (arguments.value(1) == QStringLiteral("--moving"))
        return printMovingFrames(arguments.value(3), arguments.value(2).toInt());
    if (arguments.value(1) == QStringLiteral("--speaking"))
        return printSpeakingShare(arguments.value(5), arguments.value(2).toInt(), arguments.value(3).toInt(),
                                  arguments.value(4).toDouble());
    return std::nullopt;
}

void compareMovingFigures(const QString& self, const QString& reference, const QStringList& models, int rounds)
{
    std::vector<Series> series;
    for (const QString& model : models)
        series.push_back({QFileInfo(model).fileName(), self, model});
    if (!reference.isEmpty() && !models.isEmpty())
        series.push_back({QStringLiteral("reference ") + QFileInfo(models[0]).fileName(), reference, models[0], true});

    QMap<QString, std::vector<double>> frames;  // by label and side
    QMap<QString, double> blinks;
    const auto key = [](const Series& s, int side) { return s.label + QString::number(side); };
    for (int round = 0; round < rounds; ++round) {
        for (int side : kSides) {
            for (const Series& s : series) {
                auto lines = runChild(s.program, {QStringLiteral("--moving"), QString::number(side), s.model});
                const std::vector<double>& times = lines[QByteArrayLiteral("moving")];
                blinks[s.label] = lines[QByteArrayLiteral("blinks")].empty() ? -1 : lines[QByteArrayLiteral("blinks")][0];
                auto& all = frames[key(s, side)];
                all.insert(all.end(), times.begin(), times.end());
            }
        }
    }
    std::printf("A moving frame's CPU time (the speaking passage, %d frames a round, %d rounds): median / 90th "
                "percentile\n",
                int(SpeakingPassage::kSeconds * kFps), rounds);
    std::printf("  blinks in the passage:");
    for (const Series& s : series)
        std::printf(" %s %.0f", qPrintable(s.label), blinks[s.label]);
    std::printf("\n");
    for (int side : kSides) {
        std::printf("  %4d px:", side);
        const auto& first = frames[key(series.front(), side)];
        const auto& ref = reference.isEmpty() ? first : frames[key(series.back(), side)];
        for (const Series& s : series) {
            const auto& mine = frames[key(s, side)];
            std::printf("  %s %.3f / %.3f ms", qPrintable(s.label), percentile(mine, 0.5), percentile(mine, 0.9));
            if (&s != &series.front() && !s.reference)
                std::printf(" (%.2f / %.2f x %s)", percentile(mine, 0.5) / percentile(first, 0.5),
                            percentile(mine, 0.9) / percentile(first, 0.9), qPrintable(series.front().label));
        }
        if (!reference.isEmpty())
            std::printf("; %s at %.2f / %.2f x the reference", qPrintable(series.front().label),
                        percentile(first, 0.5) / percentile(ref, 0.5), percentile(first, 0.9) / percentile(ref, 0.9));
        std::printf("\n");
    }

    QMap<QString, std::vector<double>> shares, paints;
    for (int round = 0; round < rounds; ++round) {
        for (int fps : {30, 60}) {
            for (int side : kWindowSides) {
                for (const Series& s : series) {
                    const auto figures = runChild(s.program,
                                                  {QStringLiteral("--speaking"), QString::number(fps), QString::number(side),
                                                   QString::number(kSpeakingSeconds), s.model})[QByteArrayLiteral("speaking")];
                    if (figures.size() == 2) {
                        shares[key(s, fps * 10000 + side)].push_back(figures[0]);
                        paints[key(s, fps * 10000 + side)].push_back(figures[1]);
                    }
                }
            }
        }
    }
    std::printf("Speaking in the window (%.0f s a round, %d rounds): median share of one core, frames painted a second\n",
                kSpeakingSeconds, rounds);
    for (int fps : {30, 60}) {
        for (int side : kWindowSides) {
            std::printf("  %d fps, %4d px:", fps, side);
            const int k = fps * 10000 + side;
            for (const Series& s : series)
                std::printf("  %s %.1f %% (%.0f/s)", qPrintable(s.label), 100 * percentile(shares[key(s, k)], 0.5),
                            percentile(paints[key(s, k)], 0.5));
            if (!reference.isEmpty())
                std::printf("; %s at %.2f x the reference", qPrintable(series.front().label),
                            percentile(shares[key(series.front(), k)], 0.5) / percentile(shares[key(series.back(), k)], 0.5));
            std::printf("\n");
        }
    }
}

}  // namespace vizmo::bench
