// Prints the longest stall of the event loop while the player, shown and
// idling, is given large files: 1 MiB models and scripts, a script with ten
// minutes of sound, large photos (a phone's among them) and a picture cut
// short. A 5 ms timer records the largest gap between its ticks, from the
// property call until 500 ms after it (the first frames with the new content
// included), as wall time and as the UI thread's processor time. Each case runs 3 times; the
// median and the worst are printed.
//
//   load_stall_bench
#include "components/player/vizmo4.h"
#include "components/player_control.h"
#include "big_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace vizmo;

namespace {

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

// A photo-like picture: smooth gradients with noise, which compresses badly.
QString photo(const QTemporaryDir& dir, const QString& name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 1;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 28);
            line[x] = qRgb((x * 255 / width + noise) & 255, (y * 255 / height + noise) & 255, (x + y + noise) & 255);
        }
    }
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

QString longSound(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("ten-minutes.wav"));
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    std::vector<short> block(22050);
    for (int second = 0; second < 599; ++second) {
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = short(3000 * std::sin(double(i) * 0.05));
        sf_writef_short(file, block.data(), sf_count_t(block.size()));
    }
    sf_close(file);
    return path;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The longest gap between ticks as wall time, and as this (the UI) thread's
// processor time within a gap: on a busy machine a gap can be the thread
// waiting for a core, which the second figure leaves out.
class GapMeter : public QObject {
public:
    GapMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start(5);
        reset();
    }
    void reset()
    {
        longestWall_ = longestCpu_ = 0;
        clock_.start();
        cpuAt_ = threadCpuMs();
    }
    void tick()
    {
        longestWall_ = std::max(longestWall_, double(clock_.nsecsElapsed()) / 1e6);
        const double cpu = threadCpuMs();
        longestCpu_ = std::max(longestCpu_, cpu - cpuAt_);
        clock_.restart();
        cpuAt_ = cpu;
    }
    double longestWall() const { return longestWall_; }
    double longestCpu() const { return longestCpu_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double cpuAt_ = 0;
    double longestWall_ = 0;
    double longestCpu_ = 0;
};

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString blankModel = write(dir, "blank.qvm", bench::fillMiB("", "\n"));
    const QString commentModel = write(dir, "comments.qvm", bench::fillMiB("QVM 1\nname Big\n", "# a comment line, as an author writes it\n"));
    const QString badModel = write(dir, "bad.qvm", bench::fillMiB("QVM 1\n", "bogus line\n"));
    const QString keyScript = write(dir, "keys.qvs", bench::fillMiB("QVS 1\nlength 600000\n", "viseme 1000 aa 0.5\nhead 2000 10 -20 30\n"));
    longSound(dir);
    const QString soundScript = write(dir, "sound.qvs", "QVS 1\nlength 600000\naudio ten-minutes.wav\n");
    const QString bigPhoto = photo(dir, "big.png", 5000, 5000);
    const QString jpegPhoto = photo(dir, "photo.jpg", 4000, 3000);
    // A phone's photos: beyond the 128 MB that Qt's reader allocates by itself.
    const QString phonePng = photo(dir, "phone.png", 6000, 6000);
    const QString phoneJpeg = photo(dir, "phone.jpg", 8160, 6120);
    QFile whole(bigPhoto);
    whole.open(QIODevice::ReadOnly);
    const QString cutPhoto = write(dir, "cut.png", whole.readAll().left(int(whole.size() / 2)));

    player::Vizmo4 player;
    player.resize(256, 256);
    player.show();
    player.put(player::id::BackMode, dispatch::I2(1));
    settle(300);
    GapMeter meter;

    struct Case {
        const char* what;
        dispatch::DispId id;
        QString path;
    };
    const Case cases[] = {
        {"ModelName: 1 MiB of blank lines", player::id::ModelName, blankModel},
        {"ModelName: 1 MiB, mostly comments", player::id::ModelName, commentModel},
        {"ModelName: header, then bad lines", player::id::ModelName, badModel},
        {"ScriptName: 1 MiB of keyframes", player::id::ScriptName, keyScript},
        {"ScriptName: 10 min of sound (26 MB)", player::id::ScriptName, soundScript},
        {"BackImage: 5000 x 5000 PNG", player::id::BackImage, bigPhoto},
        {"BackImage: 4000 x 3000 JPEG", player::id::BackImage, jpegPhoto},
        {"BackImage: 6000 x 6000 PNG", player::id::BackImage, phonePng},
        {"BackImage: 8160 x 6120 JPEG (50 MP)", player::id::BackImage, phoneJpeg},
        {"BackImage: PNG cut short", player::id::BackImage, cutPhoto},
    };
    std::printf("%-38s %8s %21s %21s  %s\n", "case", "call ms", "stall ms: wall med/max", "UI-thread cpu med/max", "result");
    for (const Case& c : cases) {
        std::vector<double> calls, walls, cpus;
        QString result;
        for (int run = 0; run < 3; ++run) {
            player.put(c.id, dispatch::Str(QString()));
            settle(200);
            meter.reset();
            QElapsedTimer call;
            call.start();
            const auto put = player.put(c.id, dispatch::Str(c.path));
            calls.push_back(double(call.nsecsElapsed()) / 1e6);
            settle(500);
            meter.tick();
            walls.push_back(meter.longestWall());
            cpus.push_back(meter.longestCpu());
            result = put.ok() ? QStringLiteral("accepted") : QStringLiteral("error %1").arg(put.error().number);
        }
        for (auto* figures : {&calls, &walls, &cpus})
            std::sort(figures->begin(), figures->end());
        std::printf("%-38s %8.0f %10.1f / %8.1f %10.1f / %8.1f  %s\n", c.what, calls[1], walls[1], walls[2], cpus[1], cpus[2],
                    qPrintable(result));
    }
    return 0;
}
