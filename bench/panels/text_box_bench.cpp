// What 1 MiB of text costs the speech page's text box (a multi-line box of
// 273 x 65 pixels, wrapped, no scroll bars): putting it in by program and by
// pasting, the longest stall of the event loop over the next second (a 5 ms
// timer; as wall time, and as the UI thread's processor time within a gap,
// which leaves out a busy machine's waits for a core), one key typed at
// the end and at the start afterwards, and the undo of a paste. Two
// shapes: short lines, and one paragraph without a line break.
//
//   QT_QPA_PLATFORM=offscreen bin/text_box_bench
#include "platform/text_box.h"
#include "support/fake_error_reporter.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace vizmo;

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double longestGapMs(const std::function<void()>& action, double& actionMs, double& longestCpu)
{
    double longest = 0;
    longestCpu = 0;
    double cpuAt = threadCpuMs();
    QElapsedTimer gap;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, double(gap.nsecsElapsed()) / 1e6);
        const double cpu = threadCpuMs();
        longestCpu = std::max(longestCpu, cpu - cpuAt);
        cpuAt = cpu;
        gap.restart();
    });
    tick.start(5);
    gap.start();
    QElapsedTimer clock;
    clock.start();
    action();
    actionMs = double(clock.nsecsElapsed()) / 1e6;
    while (clock.elapsed() < actionMs + 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return std::max(longest, 0.0);
}

double keyMs(QWidget* editor, Qt::Key where)
{
    QTest::keyClick(editor, where, Qt::ControlModifier);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(editor, Qt::Key_X);
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString lines, paragraph;
    while (lines.size() < 1024 * 1024)
        lines += QStringLiteral("Hello there, this is a sentence to speak.\r\n");
    while (paragraph.size() < 1024 * 1024)
        paragraph += QStringLiteral("Hello there, this is a sentence to speak. ");

    std::printf("%-34s %9s %12s %9s %9s %11s %8s\n", "case", "put ms", "longest gap", "gap cpu", "key@end", "key@start",
                "undo ms");
    for (const bool paste : {false, true}) {
        for (const QString* text : {&lines, &paragraph}) {
            QWidget window;
            testing::RecordingErrorReporter reporter;
            platform::TextBox box(&window, reporter, platform::TextBox::Lines::Multi);
            box.widget()->setGeometry(8, 8, 273, 65);
            window.show();
            box.widget()->setFocus();
            QCoreApplication::processEvents();
            double putMs = 0;
            double gapCpu = 0;
            const double gap = longestGapMs([&] {
                if (!paste)
                    return box.setText(*text);
                QGuiApplication::clipboard()->setText(*text);
                QTest::keyClick(box.widget(), Qt::Key_V, Qt::ControlModifier);
            }, putMs, gapCpu);
            const double atEnd = keyMs(box.widget(), Qt::Key_End);
            const double atStart = keyMs(box.widget(), Qt::Key_Home);
            double undoMs = 0;
            if (paste) {  // the two keys, then the paste
                auto* edit = static_cast<QPlainTextEdit*>(box.widget());
                edit->undo();
                edit->undo();
                QElapsedTimer clock;
                clock.start();
                edit->undo();
                QCoreApplication::processEvents();
                undoMs = double(clock.nsecsElapsed()) / 1e6;
                if (!edit->toPlainText().isEmpty())
                    std::printf("the undo left %lld characters\n", static_cast<long long>(edit->toPlainText().size()));
            }
            char what[64];
            std::snprintf(what, sizeof what, "%s 1 MiB, %s", paste ? "paste" : "setText", text == &lines ? "short lines" : "one paragraph");
            std::printf("%-34s %9.0f %12.0f %9.0f %9.0f %11.0f %8.0f\n", what, putMs, gap, gapCpu, atEnd, atStart, undoMs);
        }
    }
    return 0;
}
