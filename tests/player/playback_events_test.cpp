// The events of playback in their order, with Progress in bounds, and new
// content accepted from inside the player's own events.
#include "player_test_support.h"

#include "components/dispatch/call_wait.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace vizmo::player {
namespace {

using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using testing::PlayerFixture;

const QByteArray kShortScript = "QVS 1\nlength 1000\nhead 0 0 0 0\nhead 1000 100 0 0\n";
const QByteArray kOtherScript = "QVS 1\nlength 600\nviseme 0 aa\n";

TEST(Playback, FullPlayThroughRaisesEventsInOrderWithProgressInBounds)
{
    PlayerFixture f;
    ASSERT_TRUE(f.player.put(id::AutoPlay, I2(0)).ok());
    const QString path = f.write("s.qvs", kShortScript);
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(path)).ok());
    ASSERT_TRUE(f.player.call(id::Play, {I4(0)}).ok());
    f.run(1500);

    const auto& events = f.recorder.events;
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].position, event::ScriptLoaded);
    EXPECT_EQ(events[0].args.at(0).asString(), path);
    EXPECT_EQ(events[1].position, event::Play);
    EXPECT_EQ(events.back().position, event::Eof);
    EXPECT_EQ(events.back().args.at(0).asString(), path);
    EXPECT_EQ(f.recorder.count(event::Eof), 1);
    EXPECT_EQ(f.recorder.count(event::Stop), 0) << "the natural end is reported by Eof alone";

    // Every Progress between Play and Eof: within bounds, never going back,
    // often enough for a smooth bar, and the last one at the end.
    int previous = -1, progressCount = 0;
    for (std::size_t i = 2; i + 1 < events.size(); ++i) {
        ASSERT_EQ(events[i].position, event::Progress);
        const auto& a = events[i].args;
        ASSERT_EQ(a.size(), 4u);
        const int current = a[2].asI4(), total = a[3].asI4();
        EXPECT_EQ(total, 1000);
        EXPECT_GE(current, 0);
        EXPECT_LE(current, total);
        EXPECT_GE(current, previous);
        previous = current;
        ++progressCount;
    }
    EXPECT_EQ(previous, 1000);
    EXPECT_GE(progressCount, 10) << "at least ten updates a second";

    // Nothing more once the end was reported.
    const auto before = events.size();
    f.run(500);
    EXPECT_EQ(f.recorder.events.size(), before);
    EXPECT_EQ(f.player.playbackState(), PlaybackState::Stopped);
}

TEST(Playback, PauseHoldsThePositionAndPlayResumesFromIt)
{
    PlayerFixture f;
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("s.qvs", kShortScript))).ok());  // AutoPlay 1 starts it
    f.run(400);
    ASSERT_TRUE(f.player.call(id::Pause).ok());
    EXPECT_EQ(f.recorder.events.back().position, event::Pause);
    f.recorder.events.clear();
    f.run(2000);
    EXPECT_TRUE(f.recorder.events.empty()) << "a paused script raises nothing";

    ASSERT_TRUE(f.player.call(id::Play, {I4(0)}).ok());
    ASSERT_GE(f.recorder.events.size(), 2u);
    EXPECT_EQ(f.recorder.events[0].position, event::Play);
    EXPECT_EQ(f.recorder.events[1].position, event::Progress);
    EXPECT_EQ(f.recorder.events[1].args[2].asI4(), 400);
}

TEST(Playback, StopRewindsAndPlayStartsAgainFromZero)
{
    PlayerFixture f;
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("s.qvs", kShortScript))).ok());
    f.run(400);
    f.recorder.events.clear();
    ASSERT_TRUE(f.player.call(id::Stop).ok());
    ASSERT_EQ(f.recorder.positions(), (std::vector<int>{event::Stop, event::Progress}));
    EXPECT_EQ(f.recorder.events[1].args[2].asI4(), 0);
    // A second Stop changes nothing and says nothing.
    ASSERT_TRUE(f.player.call(id::Stop).ok());
    EXPECT_EQ(f.recorder.events.size(), 2u);
    f.recorder.events.clear();
    ASSERT_TRUE(f.player.call(id::Play, {I4(0)}).ok());
    ASSERT_EQ(f.recorder.events.at(1).position, event::Progress);
    EXPECT_EQ(f.recorder.events[1].args[2].asI4(), 0);
}

TEST(Playback, NewScriptWhilePlayingStopsTheOldOneWithoutEof)
{
    PlayerFixture f;
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(f.write("a.qvs", kShortScript))).ok());
    f.run(200);
    f.recorder.events.clear();
    const QString other = f.write("b.qvs", kOtherScript);
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(other)).ok());
    const auto p = f.recorder.positions();
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p[0], event::Stop);
    EXPECT_EQ(p[1], event::ScriptLoaded);
    EXPECT_EQ(p[2], event::Play);
    EXPECT_EQ(f.recorder.count(event::Eof), 0);
    f.run(800);
    EXPECT_EQ(f.recorder.count(event::Eof), 1);
    EXPECT_EQ(f.recorder.events.back().args[0].asString(), other);
}

TEST(Playback, EofHandlerMayLoadTheNextModelAndScript)
{
    PlayerFixture f;
    const QString first = f.write("a.qvs", kShortScript);
    const QString second = f.write("b.qvs", kOtherScript);
    const QString model = f.write("m.qvm", "QVM 1\nname Next\n");
    int eofs = 0;
    f.recorder.onEvent = [&](int position, dispatch::Args&) {
        if (position != event::Eof)
            return;
        // As the window's auto-advance does: model first, then script.
        ++eofs;
        EXPECT_TRUE(f.player.put(id::ModelName, Str(model)).ok());
        EXPECT_TRUE(f.player.put(id::ScriptName, Str(eofs % 2 ? second : first)).ok());
    };
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(first)).ok());
    f.run(1000 + 600 + 1000 + 200);
    EXPECT_EQ(eofs, 3) << "each script played to its end once, one after the other";
    EXPECT_EQ(f.player.playbackState(), PlaybackState::Playing);
    EXPECT_EQ(f.player.get(id::ScriptName).value().asString(), second);
    EXPECT_EQ(f.player.get(id::ModelName).value().asString(), model);
    // The last Progress of each script reached its own total; the new one started at 0.
    for (std::size_t i = 0; i + 1 < f.recorder.events.size(); ++i) {
        if (f.recorder.events[i + 1].position != event::Eof)
            continue;
        const auto& progress = f.recorder.events[i];
        ASSERT_EQ(progress.position, event::Progress);
        EXPECT_EQ(progress.args[2].asI4(), progress.args[3].asI4());
    }
}

TEST(Playback, PlayWithoutScriptAndUnknownModesChangeNothing)
{
    PlayerFixture f;
    EXPECT_TRUE(f.player.call(id::Play, {I4(0)}).ok());
    EXPECT_TRUE(f.recorder.events.empty());
    const auto refused = f.player.call(id::Play, {I4(3)});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, dispatch::err::InvalidPropertyValue);
    EXPECT_EQ(f.player.playbackState(), PlaybackState::Stopped);
}

TEST(Playback, BrokenScriptKeepsTheOldOnePlaying)
{
    PlayerFixture f;
    const QString good = f.write("good.qvs", kShortScript);
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(good)).ok());
    f.run(200);
    f.recorder.events.clear();
    const auto result = f.player.put(id::ScriptName, Str(f.write("bad.qvs", "QVS 1\nlength 100\nhead 0 0 0\n")));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, dispatch::err::InvalidFileFormat);
    EXPECT_EQ(result.error().source, QStringLiteral("Vizmo4"));
    EXPECT_TRUE(f.recorder.events.empty());
    EXPECT_EQ(f.player.playbackState(), PlaybackState::Playing);
    EXPECT_EQ(f.player.get(id::ScriptName).value().asString(), good);
}

// A call of the host that waits (a slow load) holds what the script raises
// meanwhile. If the host then replaces the script, those events belong to a
// script it no longer shows and never reach it; any other put (the model, a
// script that fails to load) leaves them to arrive after the call, in order.
TEST(Playback, EventsHeldDuringAWaitAreDroppedOnlyWhenTheScriptIsReplaced)
{
    PlayerFixture f;
    const QString first = f.write("a.qvs", kShortScript);
    const QString other = f.write("b.qvs", kOtherScript);
    const QString model = f.write("m.qvm", "QVM 1\nname Next\n");
    const QString broken = f.write("bad.qvs", "QVS 1\nlength 100\nhead 0 0 0\n");
    // Plays the first script from its start, then lets a wait hold a pause, a
    // resumption and the script's end: Pause, Play, Progress, Progress, Eof.
    auto holdTheEnd = [&] {
        ASSERT_TRUE(f.player.put(id::ScriptName, Str(first)).ok());
        f.run(200);
        f.recorder.events.clear();
        bool raised = false;
        dispatch::waitKeepingWindowPainted([&](std::chrono::milliseconds) {
            if (!raised) {
                f.player.call(id::Pause);
                f.player.call(id::Play, {I4(0)});
                f.nowMs += 1000;
                f.player.playbackTick();
            }
            raised = true;
            return true;
        });
        ASSERT_TRUE(f.recorder.events.empty()) << "held while the call waits";
    };
    const std::vector<int> held{event::Pause, event::Play, event::Progress, event::Progress, event::Eof};
    auto afterTheCall = [&] {
        QCoreApplication::processEvents();
        return f.recorder.positions();
    };

    holdTheEnd();
    ASSERT_TRUE(f.player.put(id::ModelName, Str(model)).ok());
    std::vector<int> expected{event::ModelLoaded};
    expected.insert(expected.end(), held.begin(), held.end());
    EXPECT_EQ(afterTheCall(), expected);

    holdTheEnd();
    ASSERT_FALSE(f.player.put(id::ScriptName, Str(broken)).ok());
    EXPECT_EQ(afterTheCall(), held);

    holdTheEnd();
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(other)).ok());
    EXPECT_EQ(afterTheCall(), std::vector<int>({event::ScriptLoaded, event::Play, event::Progress}));
    EXPECT_EQ(f.recorder.events.back().args[3].asI4(), 600) << "the new script's own Progress";

    // The same script read again is a new script too.
    holdTheEnd();
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(first)).ok());
    EXPECT_EQ(afterTheCall(), std::vector<int>({event::ScriptLoaded, event::Play, event::Progress}));
    // An empty name ends the script: nothing of it arrives afterwards.
    holdTheEnd();
    ASSERT_TRUE(f.player.put(id::ScriptName, Str("")).ok());
    EXPECT_EQ(afterTheCall(), std::vector<int>());
}

}  // namespace
}  // namespace vizmo::player
