// Prints how long the model and script parsers take over 1 MiB files of the
// shapes that once froze the window: blank lines, comments, many keyframes, a
// header followed by bad lines. Median of 5 runs each, as wall time and as
// this thread's processor time (the fair figure on a busy machine).
//
//   parse_bench
#include "big_file.h"
#include "components/player/content/face_model.h"
#include "components/player/content/script.h"

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vizmo::player;

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void measure(const char* what, const std::function<bool()>& parse)
{
    std::vector<double> wall, cpu;
    bool ok = false;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        ok = parse();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-40s %8.1f ms wall %8.1f ms cpu  (%s)\n", what, wall[2], cpu[2], ok ? "loaded" : "refused");
}

}  // namespace

int main()
{
    const QByteArray blank = vizmo::bench::fillMiB("", "\n");
    const QByteArray comments = vizmo::bench::fillMiB("QVM 1\nname Big\n", "# a comment line, as an author writes them between statements\n");
    const QByteArray badModel = vizmo::bench::fillMiB("QVM 1\n", "bogus line\n");
    const QByteArray keys = vizmo::bench::fillMiB("QVS 1\nlength 600000\n", "viseme 1000 aa 0.5\nhead 2000 10 -20 30\n");
    const QByteArray badScript = vizmo::bench::fillMiB("QVS 1\n", "nonsense 1 2 3\n");
    measure("model: 1 MiB of blank lines", [&] { return parseFaceModel(blank, "blank.qvm").ok(); });
    measure("model: 1 MiB, mostly comments", [&] { return parseFaceModel(comments, "comments.qvm").ok(); });
    measure("model: header, then bad lines", [&] { return parseFaceModel(badModel, "bad.qvm").ok(); });
    measure("script: 1 MiB of keyframes", [&] { return parseScript(keys, "keys.qvs", ".").ok(); });
    measure("script: header, then bad lines", [&] { return parseScript(badScript, "bad.qvs", ".").ok(); });
    return 0;
}
