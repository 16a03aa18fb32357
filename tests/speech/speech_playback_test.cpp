// Play, Pause and Stop as the window sends them: the events, the sound handed
// to the output, the mouth of an attached player. The output runs on its
// silent clock so the timing is the same with or without a sound server.
#include "components/speech/kvtts_component.h"
#include "event_recorder.h"
#include "recording_player.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace vizmo;
using namespace vizmo::dispatch;
using speech::KVTTSComponent;
namespace id = speech::id;

namespace {

class SpeechPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        component.speaker().output().setSilentForced(true);
        component.setEventSink(&events);
        player.clock = [this] { return component.speaker().output().positionUs(); };
        ASSERT_EQ(component.call(id::AttachPlayer, {Obj(&player)}).value(), Bool(true));
        ASSERT_TRUE(component.put(id::Speed, I4(100)).ok());
        QObject::connect(&component.speaker().output(), &audio::PcmOutput::pcmHandedOver,
                         [this](const QByteArray& pcm, qint64) { handed.append(pcm); });
    }
    void say(const QString& text)
    {
        ASSERT_TRUE(component.put(id::Text, Str(text)).ok());
        ASSERT_TRUE(component.call(id::Play).ok());
    }
    bool waitFor(const QString& event, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return events.count(event) > 0; }, timeoutMs);
    }
    int nonZeroSamples() const
    {
        int n = 0;
        const auto* s = reinterpret_cast<const std::int16_t*>(handed.constData());
        for (qsizetype i = 0; i < handed.size() / 2; ++i)
            n += s[i] != 0;
        return n;
    }

    // The component goes first: its destructor still hands the mouth back to the player.
    speech::testing::EventRecorder events;
    speech::testing::RecordingPlayer player;
    QByteArray handed;
    KVTTSComponent component;
};

}  // namespace

TEST_F(SpeechPlayback, PlayToTheEndRaisesEofOnceAndMovesTheMouth)
{
    say(QStringLiteral("Hello there, my friend."));
    EXPECT_EQ(events.names(), QStringList{"Play"});  // Play returns before any sound
    ASSERT_TRUE(waitFor("EOF"));
    QTest::qWait(200);
    EXPECT_EQ(events.names(), (QStringList{"Play", "EOF"}));
    EXPECT_GT(nonZeroSamples(), 1000);
    EXPECT_EQ(player.activeCalls, (std::vector<bool>{true, false}));
    ASSERT_GE(player.shapes.size(), 5u);
    EXPECT_EQ(player.shapes.back().viseme, player::viseme::Silence);
    EXPECT_EQ(component.highlightedWord().first, -1);
}

TEST_F(SpeechPlayback, WordEventsNameTheWordsOfTheTextAndThePlayerHearsTheirStress)
{
    const QString text = QStringLiteral("One two three, said the man.");
    say(text);
    ASSERT_TRUE(waitFor("EOF"));
    QStringList words;
    for (const auto& e : events.events) {
        if (e.name == QLatin1String("Word"))
            words << text.mid(e.args.at(0).asI4(), e.args.at(1).asI4());
    }
    EXPECT_EQ(words, (QStringList{"One", "two", "three", "said", "the", "man"}));
    // One SpeechWord a word, so the face's accents fall on words: the
    // reduced "the" is weaker than the stressed words around it.
    ASSERT_EQ(player.wordStresses.size(), 6u);
    for (int stress : player.wordStresses)
        EXPECT_TRUE(stress >= 0 && stress <= 255) << stress;
    EXPECT_LT(player.wordStresses[4], 128);
    EXPECT_GE(*std::max_element(player.wordStresses.begin(), player.wordStresses.end()), 200);
}

TEST_F(SpeechPlayback, PauseHoldsSoundAndMouthAndPlayResumes)
{
    say(QStringLiteral("This sentence is long enough to be paused in the middle of it."));
    QTest::qWait(300);
    ASSERT_TRUE(component.call(id::Pause).ok());
    const qint64 heldAt = component.speaker().output().positionUs();
    const std::size_t shapesAtPause = player.shapes.size();
    const qsizetype handedAtPause = handed.size();
    QTest::qWait(300);
    EXPECT_EQ(component.speaker().output().positionUs(), heldAt);
    EXPECT_EQ(player.shapes.size(), shapesAtPause);
    EXPECT_EQ(handed.size(), handedAtPause);
    ASSERT_TRUE(component.call(id::Pause).ok());  // a second Pause changes nothing
    ASSERT_TRUE(component.put(id::Text, Str(component.get(id::Text).value().asString())).ok());  // as "Play" sends it
    ASSERT_TRUE(component.call(id::Play).ok());

    // Shapes and words go on arriving while the rest is heard, not in a burst at its end.
    QElapsedTimer sinceResume;
    sinceResume.start();
    std::vector<qint64> arrivals;
    events.onEvent = [&](const auto& e) {
        if (e.name == QLatin1String("Word"))
            arrivals.push_back(sinceResume.elapsed());
    };
    const std::size_t shapesAtResume = player.shapes.size();
    ASSERT_TRUE(waitFor("EOF"));
    const qint64 eofMs = sinceResume.elapsed();
    EXPECT_EQ(events.names(), (QStringList{"Play", "Pause", "Play", "EOF"}));
    EXPECT_GE(std::count_if(arrivals.begin(), arrivals.end(), [&](qint64 t) { return t < eofMs - 300; }), 3);
    std::size_t shapesEarly = 0;
    for (std::size_t i = shapesAtResume; i < player.shapes.size(); ++i)
        shapesEarly += player.shapes[i].clockUs < (player.shapes.back().clockUs - 300'000);
    EXPECT_GE(shapesEarly, 5u);
}

TEST_F(SpeechPlayback, PlayAfterPauseSpeaksAnEditedTextFromItsStart)
{
    say(QStringLiteral("This sentence is long enough to be paused in the middle of it."));
    QTest::qWait(300);
    ASSERT_TRUE(component.call(id::Pause).ok());
    const QString edited = QStringLiteral("Something else.");
    say(edited);
    ASSERT_TRUE(waitFor("EOF", 4000));
    EXPECT_EQ(events.names(), (QStringList{"Play", "Pause", "Play", "EOF"}));
    QStringList wordsAfterPause;
    bool paused = false;
    for (const auto& e : events.events) {
        paused = paused || e.name == QLatin1String("Pause");
        if (paused && e.name == QLatin1String("Word"))
            wordsAfterPause << edited.mid(e.args.at(0).asI4(), e.args.at(1).asI4());
    }
    EXPECT_EQ(wordsAfterPause, (QStringList{"Something", "else"}));
}

TEST_F(SpeechPlayback, StopSilencesAtOnceAndThereIsNoEof)
{
    say(QStringLiteral("A sentence that will be cut short long before its natural end arrives."));
    QTest::qWait(250);
    ASSERT_TRUE(component.call(id::Stop).ok());
    const qsizetype handedAtStop = handed.size();
    const std::size_t shapesAtStop = player.shapes.size();
    QTest::qWait(600);
    EXPECT_EQ(handed.size(), handedAtStop);
    EXPECT_EQ(player.shapes.size(), shapesAtStop);
    EXPECT_EQ(events.names(), (QStringList{"Play", "Stop"}));
    EXPECT_EQ(player.activeCalls, (std::vector<bool>{true, false}));
    ASSERT_TRUE(component.call(id::Stop).ok());  // nothing left to stop: no second event
    EXPECT_EQ(events.count("Stop"), 1);
}

TEST_F(SpeechPlayback, PlayWhileSpeakingRestartsWithTheCurrentText)
{
    say(QStringLiteral("The first text is never finished because it is replaced."));
    QTest::qWait(200);
    const QString second = QStringLiteral("Second.");
    say(second);
    ASSERT_TRUE(waitFor("EOF"));
    QTest::qWait(200);
    EXPECT_EQ(events.names(), (QStringList{"Play", "Play", "EOF"}));
    const auto& lastWord = [&] {
        for (auto it = events.events.rbegin(); it != events.events.rend(); ++it)
            if (it->name == QLatin1String("Word"))
                return *it;
        return events.events.front();
    }();
    EXPECT_EQ(second.mid(lastWord.args.at(0).asI4(), lastWord.args.at(1).asI4()), QStringLiteral("Second"));
}

TEST_F(SpeechPlayback, VolumeZeroIsSilenceWithTheSameTiming)
{
    ASSERT_TRUE(component.put(id::Volume, I4(0)).ok());
    say(QStringLiteral("Nobody hears this."));
    ASSERT_TRUE(waitFor("EOF"));
    EXPECT_GT(handed.size(), 20000);
    EXPECT_EQ(nonZeroSamples(), 0);
    EXPECT_GT(player.shapes.size(), 3u);  // the mouth still moves
}

TEST_F(SpeechPlayback, EmptyTextEndsAtOnce)
{
    say(QString());
    ASSERT_TRUE(waitFor("EOF", 2000));
    EXPECT_EQ(events.names(), (QStringList{"Play", "EOF"}));
}

TEST_F(SpeechPlayback, FliteSpeaksThroughTheSameRoad)
{
    ASSERT_TRUE(component.put(id::Interface, Str(speech::kInterfaceFlite)).ok());
    say(QStringLiteral("Flite speaks too."));
    ASSERT_TRUE(waitFor("EOF"));
    EXPECT_EQ(events.names(), (QStringList{"Play", "EOF"}));
    EXPECT_GT(nonZeroSamples(), 1000);
    EXPECT_GE(events.count("Word"), 3);
}

TEST_F(SpeechPlayback, AVeryLongTextStreamsWithoutHoldingTheUiThread)
{
    QString text;
    while (text.size() < 20000)
        text += QStringLiteral("This paragraph goes on and on, so the speaker has plenty to say. ");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    say(text);
    QTest::qWait(500);
    // Twenty minutes of speech: only a few seconds may be synthesised ahead.
    EXPECT_LT(component.speaker().output().queuedUs(), 15'000'000);
    EXPECT_GT(component.speaker().output().queuedUs(), 500'000);
    EXPECT_GT(ticks, 10);  // the event loop kept running meanwhile
    ASSERT_TRUE(component.call(id::Stop).ok());
    EXPECT_EQ(events.names(), (QStringList{"Play", "Stop"}));
}
