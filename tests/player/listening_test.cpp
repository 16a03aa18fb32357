// The player listening to a sound input: choosing it by property and in the
// context menu, the face following a person's syllables heard through it on
// both kinds of face, the input going away and coming back, and the speech
// input keeping the mouth while it speaks. The system's inputs are stood in
// for by inputs the test plays into.
#include "components/player/listening/listened_mouth.h"
#include "components/player/player_accessible.h"
#include "components/player/player_menu.h"
#include "player_test_support.h"
#include "support/syllable_recordings.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace vizmo::player {
namespace {

using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using sound_input::InputDevice;
using testing::PlayerFixture;

class PlayedInputs : public sound_input::SoundInputs {
public:
    std::vector<InputDevice> devices() const override { return present ? list : std::vector<InputDevice>{}; }
    void listen(const QByteArray& id, PieceSink sink) override
    {
        listening = id;
        sink_ = std::move(sink);
        ++listens;
    }
    bool reading() const override { return present && !listening.isEmpty(); }

    // Plays a piece of sound (mono, at `rate`) into the chosen input, heard
    // now, or `lateMs` before it is handed over.
    void play(std::span<const float> piece, int rate)
    {
        if (sink_ && present)
            sink_({piece, rate, 1, std::chrono::steady_clock::now() - std::chrono::milliseconds(lateMs)});
    }
    int lateMs = 0;

    std::vector<InputDevice> list{{"mic", "Microphone", false}, {"out.monitor", "Monitor of Speakers", true}};
    bool present = true;
    QByteArray listening;
    int listens = 0;

private:
    PieceSink sink_;
};

// A player listening through inputs the test plays into, on the fixture's clock.
// Inputs that play what a test hands them, made when the listener first
// asks for them; `inputs` then points at them.
SoundListener::MakeInputs playedInputs(PlayedInputs*& inputs)
{
    return [&inputs] {
        auto made = std::make_unique<PlayedInputs>();
        inputs = made.get();
        return made;
    };
}

struct Listening : PlayerFixture {
    Listening()
    {
        player.setSoundInputs([this, make = playedInputs(inputs)] {
            ++made;
            return make();
        });
    }
    // What the player hears, as the system hands it over: 10 ms at a time,
    // the clock moving on with each piece and the frames taken as they come.
    // The pose with the mouth open widest meanwhile.
    FacePose heard(const std::vector<float>& samples, int rate)
    {
        const std::size_t piece = std::size_t(rate / 100);
        FacePose widest = player.currentPose();
        for (std::size_t at = 0; at < samples.size(); at += piece) {
            if (inputs)
                inputs->play(std::span(samples).subspan(at, std::min(piece, samples.size() - at)), rate);
            nowMs += 10;
            const FacePose pose = player.currentPose();
            if (pose.mouth.open > widest.mouth.open)
                widest = pose;
        }
        return widest;
    }
    void silence(double ms) { heard(std::vector<float>(std::size_t(ms * 16)), 16000); }
    void wait(double ms)
    {
        for (double t = 0; t < ms; t += 10) {
            nowMs += 10;
            player.currentPose();
        }
    }
    double open() { return player.currentPose().mouth.open; }

    PlayedInputs* inputs = nullptr;
    int made = 0;
};

// A vowel a person says: the syllable's vowel, 300 ms of it.
std::vector<float> vowel(const QString& syllable)
{
    const auto s = vizmo::testing::joinSyllables(QStringLiteral("it"), {syllable}, 16000, 0);
    if (!s)
        return {};
    const auto& m = s->marks.front();
    return {s->samples.begin() + m.vowel, s->samples.begin() + std::min(m.end, m.vowel + 4800)};
}

TEST(Listening, ListenToChoosesAnInputByNameAndNothingClosesIt)
{
    Listening f;
    EXPECT_EQ(f.made, 0) << "a player never asked to listen opens nothing";
    EXPECT_EQ(f.player.get(id::ListenTo).value().asString(), QString());
    EXPECT_EQ(f.player.get(id::ListenInputs).value().asString(),
              QStringLiteral("mic\tMicrophone\nout.monitor\tMonitor of Speakers"));

    const auto refused = f.player.put(id::ListenTo, Str(QStringLiteral("headset")));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, dispatch::err::InvalidPropertyValue);
    EXPECT_TRUE(refused.error().description.contains(QStringLiteral("headset")));
    EXPECT_EQ(f.inputs->listens, 0) << "a refused name changes nothing";

    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("out.monitor"))).ok());
    EXPECT_EQ(f.inputs->listening, "out.monitor");
    EXPECT_EQ(f.player.get(id::ListenTo).value().asString(), QStringLiteral("out.monitor"));
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QString())).ok());
    EXPECT_EQ(f.inputs->listening, "") << "the input is open only while it is chosen";
    EXPECT_EQ(f.player.get(id::ListenTo).value().asString(), QString());

    f.inputs->present = false;
    EXPECT_EQ(f.player.get(id::ListenInputs).value().asString(), QString()) << "no sound server, no inputs";
    EXPECT_FALSE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    EXPECT_EQ(f.made, 1);
}

TEST(Listening, AHeardVoiceMovesTheMouthAndSilenceRestsIt)
{
    Listening f;
    const std::vector<float> a = vowel(QStringLiteral("ba")), u = vowel(QStringLiteral("bu"));
    ASSERT_FALSE(a.empty()) << "klettres-data is not installed";
    // Before an input is chosen, nothing heard moves the mouth.
    f.silence(300);
    EXPECT_EQ(f.open(), 0.0);
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    f.silence(500);
    EXPECT_LT(f.open(), 0.02) << "silence rests";
    const FacePose openA = f.heard(a, 16000);
    EXPECT_GT(openA.mouth.open, 0.4) << "an a opens the jaw";
    f.silence(400);
    EXPECT_LT(f.open(), 0.05) << "the mouth rests again once the voice stops";
    const FacePose roundU = f.heard(u, 16000);
    EXPECT_GT(roundU.mouth.round, 0.5) << "a u rounds the lips";
    EXPECT_LT(roundU.mouth.width, openA.mouth.width);
    // Nothing chosen any more: the script's mouth (here, rest) comes back.
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QString())).ok());
    f.wait(300);
    EXPECT_LT(f.heard(a, 16000).mouth.open, 0.02);
}

// The consonant's part of a syllable a person says.
std::vector<float> consonant(const QString& syllable)
{
    const auto s = vizmo::testing::joinSyllables(QStringLiteral("it"), {syllable}, 16000, 0);
    if (!s)
        return {};
    const auto& m = s->marks.front();
    return {s->samples.begin() + m.start, s->samples.begin() + m.vowel};
}

TEST(Listening, LipsPressForAHeardMAndTouchTheTeethForAnF)
{
    Listening f;
    const std::vector<float> a = vowel(QStringLiteral("ba")), m = consonant(QStringLiteral("ma")),
                             ff = consonant(QStringLiteral("fa"));
    ASSERT_FALSE(m.empty() || ff.empty());
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    f.heard(a, 16000);  // the voice's level is learnt
    f.heard(a, 16000);
    double pressed = 0, bitten = 0;
    auto most = [&](const std::vector<float>& sound, double MouthShape::*measure) {
        double best = 0;
        const std::size_t piece = 160;
        for (std::size_t at = 0; at < sound.size(); at += piece) {
            f.heard({sound.begin() + std::ptrdiff_t(at), sound.begin() + std::ptrdiff_t(std::min(sound.size(), at + piece))},
                    16000);
            best = std::max(best, f.player.currentPose().mouth.*measure);
        }
        return best;
    };
    pressed = most(m, &MouthShape::press);
    f.heard(a, 16000);
    bitten = most(ff, &MouthShape::lipBite);
    EXPECT_GT(pressed, 0.6) << "the lips press for the m's murmur";
    EXPECT_GT(bitten, 0.6) << "the lower lip goes to the teeth for the f";
}

TEST(Listening, TheInputGoingAwayRestsTheMouthUntilItComesBack)
{
    Listening f;
    const std::vector<float> a = vowel(QStringLiteral("ma"));
    ASSERT_FALSE(a.empty());
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    // Unplugged in the middle of the vowel, the mouth open: nothing comes,
    // and the mouth rests by itself.
    f.silence(200);
    f.heard(std::vector<float>(a.begin(), a.begin() + std::ptrdiff_t(a.size() / 3)), 16000);
    ASSERT_GT(f.open(), 0.3);
    f.inputs->present = false;
    f.wait(kDeafAfterMs - 20);
    EXPECT_GT(f.open(), 0.3) << "a pause of the input's shorter than a syllable's keeps the shape";
    f.heard(a, 16000);
    EXPECT_LT(f.open(), 0.05);
    EXPECT_TRUE(f.recorder.events.empty()) << "nothing is raised to the host";
    EXPECT_EQ(f.player.get(id::ListenTo).value().asString(), QStringLiteral("mic")) << "still chosen";
    // Back: the same choice hears it again, with no call from the host.
    f.inputs->present = true;
    EXPECT_GT(f.heard(a, 16000).mouth.open, 0.3);
}

TEST(Listening, TheSpeechInputHasTheMouthWhileItSpeaks)
{
    Listening f;
    const std::vector<float> a = vowel(QStringLiteral("ba"));
    ASSERT_FALSE(a.empty());
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    ASSERT_TRUE(f.player.call(id::SpeechActive, {dispatch::Bool(true)}).ok());
    ASSERT_TRUE(f.player.call(id::SpeechViseme, {I2(viseme::PP), I2(255), I4(0)}).ok());
    EXPECT_EQ(f.heard(a, 16000).mouth.open, 0.0) << "the speech input's P, not the heard a";
    EXPECT_EQ(f.player.currentPose().mouth.press, 1.0);
    ASSERT_TRUE(f.player.call(id::SpeechActive, {dispatch::Bool(false)}).ok());
    EXPECT_GT(f.heard(a, 16000).mouth.open, 0.3) << "then what is heard moves it again";
}

// The built-in face and a drawn character both draw the listened mouth.
TEST(Listening, BothKindsOfFaceOpenTheirMouthsToAVoice)
{
    const std::vector<float> a = vowel(QStringLiteral("ba"));
    ASSERT_FALSE(a.empty());
    for (const char* model : {"", "qvm/mira.qvm"}) {
        SCOPED_TRACE(model);
        Listening f;
        if (*model) {
            ASSERT_TRUE(f.player.put(id::ModelName, Str(QStringLiteral(VIZMO_CONTENT_DIR "/") + QLatin1String(model))).ok());
        }
        f.player.resize(256, 256);
        ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
        f.silence(400);
        const QImage rest = f.player.grab().toImage();
        // The vowel's first half: the mouth is open there.
        f.heard({a.begin(), a.begin() + std::ptrdiff_t(a.size() / 2)}, 16000);
        const QImage open = f.player.grab().toImage();
        // The lower middle of the face, where the mouth is.
        int changed = 0;
        for (int y = 140; y < 200; ++y) {
            for (int x = 96; x < 176; ++x)
                changed += rest.pixel(x, y) != open.pixel(x, y);
        }
        EXPECT_GT(changed, 200) << "pixels of the mouth's region that changed";
    }
}

// The listener tells when each frame's sound was heard, from when its piece was.
TEST(SoundListening, EachFrameIsHeardWhenItsSoundWas)
{
    PlayedInputs* inputs = nullptr;
    SoundListener listener(playedInputs(inputs));
    ASSERT_TRUE(listener.listenTo("mic"));
    ASSERT_FALSE(listener.listenTo("usb")) << "not an input";
    EXPECT_EQ(listener.input(), "mic");
    EXPECT_EQ(listener.inputDescription(), QStringLiteral("Microphone"));
    // A second of sound in one piece, its last sample heard at `end`.
    const std::vector<float> second(16000, 0.1f);
    const auto end = std::chrono::steady_clock::now();
    inputs->lateMs = 0;
    inputs->play(second, 16000);
    const std::vector<HeardFrame> heard = listener.takeHeard();
    ASSERT_FALSE(heard.empty());
    EXPECT_TRUE(listener.takeHeard().empty()) << "each frame is taken once";
    int settled = 0;
    for (const HeardFrame& h : heard) {
        settled += h.settled;
        // The middle of frame f is (f + 0.5) * 10 ms into the second.
        const double expectedAgoMs = 1000 - (double(h.frame.index) + 0.5) * 10;
        const double agoMs = std::chrono::duration<double, std::milli>(end - h.heardAt).count();
        EXPECT_NEAR(agoMs, expectedAgoMs, 2.0) << "frame " << h.frame.index;
    }
    EXPECT_GT(settled, 0);
    EXPECT_GT(int(heard.size()) - settled, settled) << "a frame is heard before it is settled";
    // Nothing is heard once nothing is listened to.
    ASSERT_TRUE(listener.listenTo({}));
    EXPECT_EQ(inputs->listening, "");
    inputs->play(second, 16000);
    EXPECT_TRUE(listener.takeHeard().empty());
}

// An input that comes back at another rate (another device under the same
// name, or the server restarted with other settings) is read at its new rate,
// as a new stream: a second of its sound is a hundred frames from frame 0.
TEST(SoundListening, AnInputBackAtAnotherRateIsReadAtThatRate)
{
    PlayedInputs* inputs = nullptr;
    SoundListener listener(playedInputs(inputs));
    ASSERT_TRUE(listener.listenTo("mic"));
    const auto heardOnce = [&] {
        std::vector<HeardFrame> heard = listener.takeHeard();
        std::erase_if(heard, [](const HeardFrame& h) { return h.settled; });
        return heard;
    };
    for (const int rate : {48000, 16000, 44100}) {
        SCOPED_TRACE(rate);
        const std::vector<float> second(std::size_t(rate), 0.1f);
        inputs->play(second, rate);
        const std::vector<HeardFrame> heard = heardOnce();
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.front().frame.index, 0);
        EXPECT_NEAR(double(heard.size()), 100, 3);
    }
}

// The listener wakes the player once when sound comes at or after the moment
// the player asked for its next frame, and not before it asks again: the
// player draws as the sound comes, no more often than it asks.
TEST(SoundListening, WakesThePlayerOnceWhenSoundComesAfterItAskedForAFrame)
{
    PlayedInputs* inputs = nullptr;
    SoundListener listener(playedInputs(inputs));
    int wakes = 0;
    listener.setWake([&] { ++wakes; });
    ASSERT_TRUE(listener.listenTo("mic"));
    const std::vector<float> piece(160, 0.1f);
    for (int i = 0; i < 10; ++i)
        inputs->play(piece, 16000);
    EXPECT_EQ(wakes, 0) << "nothing asked for";
    listener.wantFrameAt(std::chrono::steady_clock::now() + std::chrono::hours(1));
    for (int i = 0; i < 10; ++i)
        inputs->play(piece, 16000);
    EXPECT_EQ(wakes, 0) << "asked for later";
    listener.wantFrameAt(std::chrono::steady_clock::now());
    for (int i = 0; i < 10; ++i)
        inputs->play(piece, 16000);
    EXPECT_EQ(wakes, 1) << "once for each ask";
    listener.wantFrameAt(std::chrono::steady_clock::now());
    inputs->play(piece, 16000);
    EXPECT_EQ(wakes, 2);
    listener.takeHeard();
}

// While the player listens, the heard sound draws the frames: a frame is
// asked for as soon as sound comes a frame's interval after the last one
// drawn, and the frame timer adds none in between.
TEST(Listening, TheHeardSoundDrawsTheFramesAtMostAtTheFrameRate)
{
    Listening f;
    const std::vector<float> a = vowel(QStringLiteral("ba"));
    ASSERT_FALSE(a.empty());
    f.player.resize(256, 256);
    f.player.show();
    ASSERT_TRUE(f.player.put(id::ListenTo, Str(QStringLiteral("mic"))).ok());
    int paints = 0;
    struct Counter : QObject {
        int* paints;
        bool eventFilter(QObject*, QEvent* e) override
        {
            *paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    counter.paints = &paints;
    f.player.installEventFilter(&counter);
    // Sound comes in 10 ms pieces for a second, as an input hands it over.
    QElapsedTimer clock;
    clock.start();
    std::size_t at = 0;
    const auto next = [&] {
        if (at + 160 > a.size())
            at = 0;
        f.inputs->play(std::span(a).subspan(at, 160), 16000);
        at += 160;
        f.nowMs += 10;
    };
    QTimer pieces;
    QObject::connect(&pieces, &QTimer::timeout, next);
    pieces.start(10);
    QTest::qWait(1000);
    pieces.stop();
    const double seconds = double(clock.elapsed()) / 1000;
    EXPECT_GT(paints / seconds, 15) << "the mouth follows the sound";
    // The sound's wake comes a little before the frame's interval is up, so
    // that it, not the timer, draws the frame: no more often than that, and
    // the window's first frame.
    const double shortest = 1000 / 30 - kListenedWakeSlackMs;
    EXPECT_LE(paints, seconds * 1000 / shortest + 1) << "about 30 frames a second, no more";
    f.player.removeEventFilter(&counter);
}

// ---- the menu ---------------------------------------------------------------------

using testing::findAction;
QAction* action(QMenu& menu, const QString& text) { return findAction(menu, text); }

struct MenuChoice {
    QMenu menu;
    std::vector<QByteArray> chosen;
    void fill(const PlayerMenuInfo& info)
    {
        PlayerMenuActions actions;
        actions.play = actions.pause = actions.stop = [] {};
        actions.setLifeMode = [](int) {};
        actions.listenTo = [this](const QByteArray& id) { chosen.push_back(id); };
        fillPlayerMenu(menu, info, actions);
    }
};

TEST(ListenMenu, ListsTheInputsByDescriptionWithNothingFirst)
{
    MenuChoice m;
    PlayerMenuInfo info;
    info.style = 1;
    info.inputs = {{"mic", "Microphone"}, {"out.monitor", "Monitor of Speakers"}};
    info.listeningTo = "out.monitor";
    m.fill(info);
    QAction* listen = action(m.menu, QStringLiteral("Listen to"));
    ASSERT_TRUE(listen && listen->menu());
    QStringList texts;
    for (QAction* a : listen->menu()->actions())
        texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Nothing", "Microphone", "Monitor of Speakers"}));
    EXPECT_FALSE(action(m.menu, QStringLiteral("Nothing"))->isChecked());
    EXPECT_TRUE(action(m.menu, QStringLiteral("Monitor of Speakers"))->isChecked());
    action(m.menu, QStringLiteral("Microphone"))->trigger();
    action(m.menu, QStringLiteral("Nothing"))->trigger();
    EXPECT_EQ(m.chosen, (std::vector<QByteArray>{"mic", ""}));
    EXPECT_EQ(listen->menu()->accessibleName(), QStringLiteral("Listen to"));
}

TEST(ListenMenu, SaysWhenThereIsNoInputAndShowsAChosenOneThatIsAway)
{
    MenuChoice none;
    PlayerMenuInfo info;
    info.style = 1;
    none.fill(info);
    QAction* nothing = action(none.menu, QStringLiteral("Nothing"));
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->isChecked()) << "the default";
    QAction* noDevice = action(none.menu, QStringLiteral("No input device"));
    ASSERT_TRUE(noDevice);
    EXPECT_FALSE(noDevice->isEnabled());

    MenuChoice away;
    info.inputs = {{"mic", "Microphone"}};
    info.listeningTo = "usb";
    info.listeningToName = QStringLiteral("USB headset");
    away.fill(info);
    QAction* chosen = action(away.menu, QStringLiteral("USB headset (away)"));
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(chosen->isChecked());
    EXPECT_FALSE(chosen->isEnabled());
    EXPECT_FALSE(action(away.menu, QStringLiteral("Nothing"))->isChecked());

    MenuChoice shortMenu;
    info.style = 0;
    shortMenu.fill(info);
    EXPECT_EQ(action(shortMenu.menu, QStringLiteral("Listen to")), nullptr) << "the short menu has only playback";
}

// A screen reader finds the open context menu, its "Listen to" and the
// inputs under the player, by their names.
TEST(ListenMenu, TheOpenMenuIsInTheAccessibilityTreeUnderThePlayer)
{
    Listening f;
    f.player.resize(256, 256);
    f.player.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.player));
    QAccessible::setActive(true);
    bool seen = false;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        watch.stop();
        QAccessibleInterface* player = QAccessible::queryAccessibleInterface(&f.player);
        ASSERT_TRUE(player);
        QAccessibleInterface* shown = nullptr;
        for (int i = 0; i < player->childCount(); ++i) {
            if (player->child(i) && player->child(i)->role() == QAccessible::PopupMenu)
                shown = player->child(i);
        }
        ASSERT_TRUE(shown) << "the open menu is one of the player's children";
        EXPECT_EQ(shown->text(QAccessible::Name), QStringLiteral("Player"));
        EXPECT_EQ(player->indexOfChild(shown), player->childCount() - 1);
        QAccessibleInterface* listen = nullptr;
        for (int i = 0; i < shown->childCount(); ++i) {
            if (shown->child(i)->text(QAccessible::Name) == QStringLiteral("Listen to"))
                listen = shown->child(i);
        }
        ASSERT_TRUE(listen && listen->childCount() == 1);
        QAccessibleInterface* inputs = listen->child(0);
        QStringList names;
        for (int i = 0; i < inputs->childCount(); ++i)
            names << inputs->child(i)->text(QAccessible::Name);
        EXPECT_EQ(names, (QStringList{"Nothing", "Microphone", "Monitor of Speakers"}));
        seen = true;
        menu->close();
    });
    watch.start();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, {128, 100}, f.player.mapToGlobal(QPoint(128, 100)));
    QApplication::sendEvent(&f.player, &key);
    EXPECT_TRUE(seen);
    // Closed, it is no child any more.
    QAccessibleInterface* player = QAccessible::queryAccessibleInterface(&f.player);
    for (int i = 0; i < player->childCount(); ++i)
        EXPECT_NE(player->child(i)->role(), QAccessible::PopupMenu);
}

}  // namespace
}  // namespace vizmo::player
