#pragma once
// What the player's benches measure a process by: its CPU time, all threads
// (Qt's painter may use a pool of its own), and the frames a widget paints.

#include <QEvent>
#include <QObject>

#include <sys/resource.h>

namespace vizmo::bench {

inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the frames a widget paints, to show an idle or speaking loop
// really ran.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace vizmo::bench
