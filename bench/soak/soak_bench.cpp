// A long run of what the program does unattended: the window with the real
// player and speech components plays its scripts one after the other
// (auto-advance on both lists, so model and script change inside Eof), the
// head follows a wandering mouse pointer, and the speech page speaks a
// sentence again every few seconds. Prints resident memory and open file
// handles at the start, every minute and at the end.
//
//   soak_bench [--minutes M]     (60 by hand; CI runs 2)
//
// Exits 1 when memory or file handles grow past what caches explain.
#include "components/player/vizmo4.h"
#include "components/speech/kvtts_component.h"
#include "platform/cursor.h"
#include "platform/dialog_driver.h"
#include "platform/error_reporter.h"
#include "platform/event_boundary.h"
#include "platform/screen.h"
#include "shell/form1.h"
#include "support/process_figures.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace vizmo;

namespace {

// Nobody answers dialogs in a soak: none is opened.
class NoDialogs : public platform::DialogDriver {
public:
    std::optional<QString> openFile(const platform::OpenFileRequest&) override { return std::nullopt; }
    std::optional<std::uint32_t> pickColor(const platform::ColorRequest&) override { return std::nullopt; }
};

class PrintingReporter : public platform::ErrorReporter {
public:
    void report(const dispatch::RuntimeError& error) override
    {
        ++count;
        std::printf("soak: run-time error: %s\n", qPrintable(error.report()));
    }
    int count = 0;
};

void figures(const char* when, double minutes)
{
    std::printf("soak: %-6s %5.1f min  resident %.1f MB  open file handles %d\n", when, minutes,
                testing::residentMegabytes(), testing::openFileHandles());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    double minutes = 60;
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--minutes")
            minutes = std::atof(argv[i + 1]);

    player::Vizmo4 player;
    speech::KVTTSComponent speech;
    platform::QtScreen screen;
    platform::QtCursor cursor;
    NoDialogs dialogs;
    PrintingReporter reporter;
    const QString appDir = QCoreApplication::applicationDirPath();
    shell::Environment env{screen, cursor, dialogs, &reporter, QDir::toNativeSeparators(appDir), {}};
    shell::Form1 form(env, {player, &player}, {speech, &speech});
    platform::runHandler(form.reporter(), [&] { form.Form_Load(); });
    form.show();
    form::WindowControls& c = form.controls();
    QTest::qWait(500);
    // The expanded window, so every tab's controls exist on screen.
    QTest::mouseClick(c.Command32->widget(), Qt::LeftButton);
    for (platform::CheckBox* autoAdvance : {c.Check1, c.Check2})
        if (autoAdvance->value() == 0)
            QTest::mouseClick(autoAdvance->widget(), Qt::LeftButton);
    c.SSTab1->clickTab(2);
    c.Text2->widget()->setFocus();
    QTest::keyClicks(c.Text2->widget(), QStringLiteral("Good morning. This is a long run of the talking head."));
    // The speech page stays in front: a tab change stops both components.
    // Tracking ("Tracking" is on by default) follows the pointer on any tab.
    QTest::qWait(500);

    const double startMb = testing::residentMegabytes();
    const int startHandles = testing::openFileHandles();
    figures("start", 0);
    QElapsedTimer clock;
    clock.start();
    qint64 nextSpeech = 0, nextReport = 60000;
    const QRect face = player.rect();
    while (clock.elapsed() < qint64(minutes * 60000)) {
        const double t = double(clock.elapsed()) / 1000.0;
        // The pointer circles the face, so tracking has something to follow.
        QCursor::setPos(player.mapToGlobal(face.center() + QPoint(int(120 * std::cos(t)), int(90 * std::sin(1.3 * t)))));
        if (clock.elapsed() >= nextSpeech) {
            QTest::mouseClick(c.Command27->widget(), Qt::LeftButton);
            nextSpeech = clock.elapsed() + 8000;
        }
        if (clock.elapsed() >= nextReport) {
            figures("", double(clock.elapsed()) / 60000.0);
            nextReport += 60000;
        }
        QTest::qWait(50);
    }
    figures("end", double(clock.elapsed()) / 60000.0);
    const double endMb = testing::residentMegabytes();
    const int endHandles = testing::openFileHandles();
    std::printf("soak: resident memory %.1f -> %.1f MB, file handles %d -> %d, %d run-time errors\n", startMb, endMb,
                startHandles, endHandles, reporter.count);
    return endMb <= startMb * 1.15 + 10 && endHandles <= startHandles + 8 && reporter.count == 0 ? 0 : 1;
}
