// What one tracking tick and one slider change cost, from the notification to
// the component call, side by side with a handler that does nothing: once
// with a stand-in player that only counts calls, once with the real player.
//
//   QT_QPA_PLATFORM=offscreen bin/panel_bench [repetitions]

#include "components/player/vizmo4.h"
#include "components/player_control.h"
#include "components/speech_component.h"
#include "platform/qt_dialog_driver.h"
#include "platform/timer.h"
#include "shell/form1.h"
#include "support/fake_error_reporter.h"
#include "support/fake_screen.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace vizmo;

namespace {

// Accepts every call of a table and counts it.
class CountingComponent : public QWidget, public dispatch::Object {
public:
    CountingComponent(const QString& name, const dispatch::MemberTable& table) : Object(name, table) {}
    long calls = 0;

protected:
    dispatch::Result doPut(dispatch::DispId, const dispatch::Variant&) override { ++calls; return {}; }
    dispatch::Result doGet(dispatch::DispId, const dispatch::Args&) override { ++calls; return {}; }
    dispatch::Result doCall(dispatch::DispId, const dispatch::Args&) override { ++calls; return {}; }
};

// Microseconds per run of `operation`, the best of five rounds (the machine is shared).
double microsecondsPer(int repetitions, const std::function<void(int)>& operation)
{
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < repetitions; ++i)
            operation(i);
        best = std::min(best, double(timer.nsecsElapsed()) / 1000.0 / repetitions);
        QCoreApplication::processEvents();  // let a real player paint what it was asked to
    }
    return best;
}

// One window with its own player; the operations are measured against it.
struct Bench {
    Bench(dispatch::Object& player, QWidget* playerWidget)
        : speech(speech::kClassName, speech::memberTable()),
          form(shell::Environment{screen, cursor, dialogs, &reporter, QStringLiteral("/nonexistent"), {}},
               {player, playerWidget}, {speech, &speech})
    {
    }
    testing::FakeScreen screen;
    testing::FakeCursor cursor;
    platform::QtDialogDriver dialogs;
    testing::RecordingErrorReporter reporter;
    CountingComponent speech;
    shell::Form1 form;
};

struct Operations {
    std::function<void(int)> trackingTick, headSlider, strengthSlider;
};

Operations operationsOn(Bench& b)
{
    form::WindowControls& c = b.form.controls();
    return {
        [&b, &c](int i) {
            c.Check3->setValue(1);
            b.cursor.moveTo(100 + i % 800, 50 + i % 600);
            c.Timer1->tick();
        },
        [&c](int i) {
            c.Check3->setValue(0);
            c.Slider7->setValue(i % 2 ? 40 : -40);
        },
        [&c](int i) { c.Slider1->setValue(i % 2 ? 200 : 100); },
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;

    testing::RecordingErrorReporter reporter;
    platform::Timer emptyTimer(reporter);
    emptyTimer.onTimer([] {});

    CountingComponent counting(player::kClassName, player::memberTable());
    Bench standIn(counting, &counting);
    player::Vizmo4 realPlayer;
    Bench real(realPlayer, &realPlayer);
    const Operations s = operationsOn(standIn);
    const Operations r = operationsOn(real);

    const double empty = microsecondsPer(repetitions, [&](int) { emptyTimer.tick(); });
    struct Row {
        const char* name;
        const std::function<void(int)>& standIn;
        const std::function<void(int)>& real;
    };
    const Row rows[] = {
        {"tracking tick (Timer1)", s.trackingTick, r.trackingTick},
        {"head slider change (Slider7)", s.headSlider, r.headSlider},
        {"strength slider change (Slider1)", s.strengthSlider, r.strengthSlider},
    };

    std::printf("%d repetitions, best of 5 rounds\n", repetitions);
    std::printf("%-34s %9s %13s %13s %11s\n", "handler", "calls/op", "us/op stand-in", "us/op Vizmo4", "x empty");
    std::printf("%-34s %9s %13.3f %13s %11s\n", "empty handler (timer road)", "0", empty, "-", "1.0");
    for (const Row& row : rows) {
        const long before = counting.calls;
        const double standInUs = microsecondsPer(repetitions, row.standIn);
        const double calls = double(counting.calls - before) / (5.0 * repetitions);
        const double realUs = microsecondsPer(repetitions, row.real);
        std::printf("%-34s %9.2f %13.3f %13.3f %11.1f\n", row.name, calls, standInUs, realUs, standInUs / empty);
    }
    const auto errors = standIn.reporter.reports.size() + real.reporter.reports.size();
    if (errors)
        std::printf("warning: %zu run-time errors were reported during the runs\n", errors);
    return 0;
}
