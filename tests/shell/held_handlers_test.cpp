// One handler at a time: while the real player waits for a slow load inside
// a handler's put, Timer1's ticks and the player's events are held, and run
// after the handler has returned, in their order.

#include "components/player/vizmo4.h"
#include "shell/environment.h"
#include "support/logging_proxy.h"
#include "support/window_fixture.h"

#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <mutex>

using namespace vizmo;
using namespace vizmo::testing;

namespace {

// Holds the player's loads on their thread until opened.
class LoadGate {
public:
    void close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    void open()
    {
        {
            std::lock_guard lock(mutex_);
            closed_ = false;
        }
        opened_.notify_all();
    }
    void pass()
    {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return !closed_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool closed_ = false;
};

class HeldHandlers : public WindowTest {
protected:
    HeldHandlers()
    {
        real.setClock([this] { return nowMs; });
        real.setLoadGate([this] { gate.pass(); });
        makeFolder(QStringLiteral("qvm"), {});
        makeFolder(QStringLiteral("qvs"), {});
        write(QStringLiteral("qvm/a.qvm"), "QVM 1\nname A\n");
        write(QStringLiteral("qvm/b.qvm"), "QVM 1\nname B\n");
        write(QStringLiteral("qvs/a.qvs"), "QVS 1\nlength 1000\n");
        write(QStringLiteral("qvs/b.qvs"), "QVS 1\nlength 1000\n");
    }
    ~HeldHandlers() override
    {
        gate.open();
        form.reset();
    }

    void write(const QString& relative, const QByteArray& text)
    {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void createRealForm()
    {
        shell::Environment env{screen, cursor, dialogs, &reporter, appDir, developmentDataDir};
        form = std::make_unique<shell::Form1>(env, shell::HostedComponent{proxy, &real},
                                              shell::HostedComponent{speech, &speech});
    }
    // The next load waits until `ms` have passed, on the UI thread's clock.
    void slowNextLoad(int ms)
    {
        gate.close();
        QTimer::singleShot(ms, [this] { gate.open(); });
    }
    int indexOf(const QString& line) const { return int(log.lines().indexOf(line)); }
    // The lines between `from` and `to`, both excluded.
    QStringList between(int from, int to) const { return log.lines().mid(from + 1, to - from - 1); }

    double nowMs = 1000;
    LoadGate gate;
    player::Vizmo4 real;
    LoggingProxy proxy{real, QStringLiteral("Vizmo41"), log};
};

QString putModel(const QString& path) { return QStringLiteral("Vizmo41 put ModelName(String(\"%1\"))").arg(path); }

TEST_F(HeldHandlers, TheFirstTickComesAfterStartUpEvenWhenItsLoadIsSlow)
{
    createRealForm();
    slowNextLoad(350);  // three ticks of Timer1 fall inside the first model's load
    runLoad();
    const int played = indexOf("Vizmo41 call Play(I4(0)) returned");
    ASSERT_GE(played, 0) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.matching("Vizmo41 call SetEye").isEmpty()) << log.lines().join('\n').toStdString();
    QTest::qWait(30);
    const QStringList after = log.lines().mid(played + 1);
    ASSERT_FALSE(after.isEmpty());
    EXPECT_TRUE(after.first().startsWith("Vizmo41 call SetEye")) << after.join('\n').toStdString();
}

TEST_F(HeldHandlers, TicksAndAnEofDuringASlowPutRunAfterTheClickHandlerInTheirOrder)
{
    createRealForm();
    runLoad();
    nowMs += 5000;  // the script is over: the player's next playback step ends it
    slowNextLoad(350);
    log.clear();
    c().File1->setListIndex(1);
    const QString model = path(QStringLiteral("qvm/b.qvm"));
    const int start = indexOf(putModel(model));
    const int returned = indexOf(putModel(model) + " returned");
    ASSERT_GE(start, 0);
    ASSERT_GT(returned, start);
    // Inside the put: only what the put itself raises.
    EXPECT_EQ(between(start, returned), QStringList({"Vizmo41 event ModelLoaded", "Vizmo41 event ModelLoaded handled"}))
        << log.lines().join('\n').toStdString();
    EXPECT_EQ(returned, log.lines().size() - 1) << log.lines().join('\n').toStdString();

    QTest::qWait(30);
    const QStringList lines = log.lines();
    const int progress = indexOf("Vizmo41 event Progress");
    const int eof = indexOf("Vizmo41 event Eof");
    const int eofDone = indexOf("Vizmo41 event Eof handled");
    const int tick = int(lines.indexOf(QRegularExpression("^Vizmo41 call SetEye.*")));
    ASSERT_GT(progress, returned) << lines.join('\n').toStdString();
    ASSERT_GT(eof, progress) << lines.join('\n').toStdString();
    ASSERT_GT(eofDone, eof);
    ASSERT_GT(tick, returned) << lines.join('\n').toStdString();
    // The Eof's own handler advances the script list, nested; no tick inside it.
    EXPECT_TRUE(tick < eof || tick > eofDone) << lines.join('\n').toStdString();
    const QString next = QStringLiteral("Vizmo41 put ScriptName(String(\"%1\"))").arg(path(QStringLiteral("qvs/b.qvs")));
    EXPECT_TRUE(between(eof, eofDone).contains(next)) << lines.join('\n').toStdString();
}

}  // namespace
