// Prints what the player costs: one frame at 256 and at 1024 pixels, and the
// share of one core the program uses while the player idles at 30 and 60
// frames per second (LifeMode 3, nothing playing, the widget shown).
//
//   player_bench [CONTENT] [--frames-only N]
//
// --frames-only renders N frames at 256 pixels and nothing else, for a run
// under `valgrind --tool=callgrind --toggle-collect='*Vizmo4::paintEvent*'`,
// whose instruction counts repeat from run to run on a shared machine.
#include "components/player/vizmo4.h"
#include "components/player_control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vizmo;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Median time of rendering the widget into an image of its own size.
double frameMs(player::Vizmo4& player, int side, int frames)
{
    player.resize(side, side);
    QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer timer;
        timer.start();
        player.render(&target);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Counts the frames the player paints, to show the idle loop really ran.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

double idleCpuShare(player::Vizmo4& player, PaintCounter& counter, int fps, int seconds)
{
    player.call(player::id::SetFPS, {dispatch::I4(0), dispatch::I4(fps)});
    counter.paints = 0;
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double share = (cpuSeconds() - cpuStart) / (double(wall.nsecsElapsed()) / 1e9);
    std::printf("idle at %d fps: %.1f %% of one core, %.1f frames painted a second\n", fps, share * 100,
                counter.paints / (double(wall.nsecsElapsed()) / 1e9));
    return share;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const qsizetype framesOnlyAt = args.indexOf(QStringLiteral("--frames-only"));
    const int framesOnly = framesOnlyAt > 0 ? args.value(framesOnlyAt + 1).toInt() : 0;
    const QString content = args.size() > 1 && framesOnlyAt != 1 ? args[1] : QApplication::applicationDirPath();
    player::Vizmo4 player;
    const auto model = player.put(player::id::ModelName, dispatch::Str(content + QStringLiteral("/qvm/anna.qvm")));
    if (!model.ok())
        std::fprintf(stderr, "model: %s (drawing the built-in face)\n", qPrintable(model.error().description));
    player.call(player::id::SetHead, {dispatch::I2(60), dispatch::I2(-30), dispatch::I2(20)});
    player.call(player::id::SpeechActive, {dispatch::Bool(true)});
    player.call(player::id::SpeechViseme, {dispatch::I2(10), dispatch::I2(255), dispatch::I4(0)});

    frameMs(player, 256, 20);  // warm caches
    if (framesOnly > 0) {
        std::printf("frame 256 x 256:   %.3f ms (median of %d)\n", frameMs(player, 256, framesOnly), framesOnly);
        return 0;
    }
    const double small = frameMs(player, 256, 400);
    const double large = frameMs(player, 1024, 60);
    std::printf("frame 256 x 256:   %.3f ms (median of 400)\n", small);
    std::printf("frame 1024 x 1024: %.3f ms (median of 60), %.1f x the 256 frame\n", large, large / small);

    player.call(player::id::SpeechActive, {dispatch::Bool(false)});
    player.resize(256, 256);
    PaintCounter counter;
    player.installEventFilter(&counter);
    player.show();
    const double at30 = idleCpuShare(player, counter, 30, 5);
    const double at60 = idleCpuShare(player, counter, 60, 5);
    std::printf("60 fps costs %.2f x the CPU of 30 fps\n", at60 / at30);
    return 0;
}
