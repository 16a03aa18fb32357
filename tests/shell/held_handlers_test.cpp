// One handler at a time: while the real player waits for a slow load inside
// a handler's put, Timer1's ticks and the player's events are held, and run
// after the handler has returned, in their order; the events of a script that
// the put replaced are dropped.

#include "components/player/vizmo4.h"
#include "platform/display_field.h"
#include "shell/environment.h"
#include "support/logging_proxy.h"
#include "support/window_fixture.h"

#include <QTest>
#include <QTimer>

#include <QLineEdit>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
        real.setLoadGate([this] {
            gate.pass();
            std::this_thread::sleep_for(std::chrono::milliseconds(everyLoadMs.load()));
        });
        makeFolder(QStringLiteral("qvm"), {});
        makeFolder(QStringLiteral("qvs"), {});
        write(QStringLiteral("qvm/a.qvm"), "QVM 1\nname A\n");
        write(QStringLiteral("qvm/b.qvm"), "QVM 1\nname B\n");
        write(QStringLiteral("qvs/a.qvs"), "QVS 1\nlength 1000\n");
        write(QStringLiteral("qvs/b.qvs"), "QVS 1\nlength 2000\n");
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

    // Records every text a display field shows, in order.
    static QStringList& history(platform::DisplayField* field, QStringList& into)
    {
        QObject::connect(static_cast<QLineEdit*>(field->widget()), &QLineEdit::textChanged,
                         [&into](const QString& text) { into << text; });
        return into;
    }

    double nowMs = 1000;
    LoadGate gate;
    // Every load takes at least this long, on the loading thread.
    std::atomic<int> everyLoadMs = 0;
    player::Vizmo4 real;
    LoggingProxy proxy{real, QStringLiteral("Vizmo41"), log};
};

QString putModel(const QString& path) { return QStringLiteral("Vizmo41 put ModelName(String(\"%1\"))").arg(path); }

// Start-up puts the model and then the script, each waiting for its load:
// the ticks held in the first wait run neither inside the second nor before
// the handler's own Play.
TEST_F(HeldHandlers, TheFirstTickComesAfterStartUpEvenWhenBothItsLoadsAreSlow)
{
    createRealForm();
    everyLoadMs = 250;  // two or three ticks of Timer1 fall inside each load
    runLoad();
    const int model = indexOf(putModel(path(QStringLiteral("qvm/a.qvm"))) + " returned");
    const int played = indexOf("Vizmo41 call Play(I4(0)) returned");
    ASSERT_GE(model, 0) << log.lines().join('\n').toStdString();
    ASSERT_GT(played, model) << log.lines().join('\n').toStdString();
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

// The user picks a script whose load is slow, and the old script ends while
// it loads. The old script's last Progress and its Eof belong to a script the
// pick replaced: they are dropped, so the end-of-script advance does not
// replace the pick with the next entry. Timer1's tick still runs after it.
TEST_F(HeldHandlers, APickedScriptStandsWhenTheOldOneEndsDuringItsSlowLoad)
{
    createRealForm();
    runLoad();
    ASSERT_EQ(c().File2->listIndex(), 0);
    ASSERT_EQ(c().Check2->value(), 1);
    QStringList progress;
    history(c().Text1, progress);
    nowMs += 5000;  // the old script is over: its next playback step ends it
    slowNextLoad(350);
    log.clear();
    c().File2->setListIndex(1);
    const QString picked = QStringLiteral("Vizmo41 put ScriptName(String(\"%1\"))").arg(path(QStringLiteral("qvs/b.qvs")));
    const int returned = indexOf(picked + " returned");
    ASSERT_GE(returned, 0) << log.lines().join('\n').toStdString();
    QTest::qWait(60);
    const QString lines = log.lines().join('\n');
    EXPECT_EQ(c().File2->listIndex(), 1) << lines.toStdString();
    EXPECT_EQ(log.matching("Vizmo41 put ScriptName").size(), 2) << "the pick only, with its return: " << lines.toStdString();
    EXPECT_TRUE(log.matching("Vizmo41 event Eof").isEmpty()) << lines.toStdString();
    EXPECT_FALSE(progress.contains("1000/1000")) << progress.join(' ').toStdString();
    EXPECT_EQ(c().Text1->text(), "0/2000");
    const int tick = int(log.lines().indexOf(QRegularExpression("^Vizmo41 call SetEye.*")));
    EXPECT_GT(tick, returned) << lines.toStdString();
}

// The same on "QV4 Player", where a script is picked through its dialog: the
// event box shows the new script's Play, not the old one's Eof.
TEST_F(HeldHandlers, OnThePlayerPageTheEventBoxDoesNotEndOnTheReplacedScriptsEof)
{
    createRealForm();
    runLoad();
    c().SSTab1->setTab(1);  // stops the player
    c().Command7->click();  // Play
    ASSERT_EQ(c().Text5->text(), "Play");
    QStringList events;
    history(c().Text5, events);
    nowMs += 5000;
    slowNextLoad(350);
    dialogs.answerFile(path(QStringLiteral("qvs/b.qvs")));
    log.clear();
    c().Command4->click();
    QTest::qWait(60);
    EXPECT_EQ(log.matching("Vizmo41 put ScriptName").size(), 2) << log.lines().join('\n').toStdString();
    EXPECT_FALSE(events.contains("Eof")) << events.join(' ').toStdString();
    EXPECT_EQ(c().Text5->text(), "Play");
    EXPECT_EQ(c().Text1->text(), "0/2000");
}

}  // namespace
