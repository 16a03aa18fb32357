// Timing of the motions: the mouth blend, the viseme lead, the timeline's
// pause arithmetic, and the living face's statistics over simulated minutes.
#include "components/player/content/script.h"
#include "components/player/motion/life_motion.h"
#include "components/player/motion/mouth_easer.h"
#include "components/player/playback_timeline.h"
#include "components/player_control.h"
#include "components/viseme_timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace vizmo::player {
namespace {

TEST(MouthEaser, NewTargetMidMoveKeepsThePositionAndTheSpeed)
{
    MouthEaser easer;
    easer.setTarget(visemeShape(10), 0, 100);  // towards aa
    const double halfway = easer.at(50).open;
    easer.setTarget(visemeShape(1), 50, 100);  // now towards PP
    EXPECT_NEAR(easer.at(50).open, halfway, 1e-9) << "no jump when the target changes";
    EXPECT_GT(easer.at(53).open, halfway) << "still opening for a moment: the motion is not restarted from rest";
    EXPECT_GT(easer.at(100).open, 0.0);
    EXPECT_NEAR(easer.at(400).press, 1.0, 1e-3);
    EXPECT_GE(easer.at(400).open, -1e-3) << "a critically damped spring does not overshoot";
}

TEST(ScriptMouth, VisemeFormsBeforeItsKeyAndIsMostlyThereByIt)
{
    namespace timing = viseme_timing;
    Script s;
    s.lengthMs = 1000;
    s.visemes = {{0, 0, 1.0}, {500, 10, 1.0}};
    const double full = visemeShape(10).open;
    EXPECT_DOUBLE_EQ(s.sample(500 - timing::kMaxLeadMs - 1).mouth.open, 0.0);
    EXPECT_NEAR(s.sample(500 - timing::kScriptPresentationMs - timing::kLeadMs).mouth.open, 0.5 * full, 0.05 * full)
        << "half way, as seen, the lead before its sound";
    EXPECT_GT(s.sample(500 - timing::kScriptPresentationMs).mouth.open, 0.6 * full);
    EXPECT_NEAR(s.sample(800).mouth.open, full, 1e-3);
}

TEST(ScriptTracks, EaseBetweenKeysAndHoldOutside)
{
    Script s;
    s.lengthMs = 2000;
    s.head = {{500, 0, 0, 0}, {1500, 200, -100, 0}};
    EXPECT_DOUBLE_EQ(s.sample(0).headX, 0.0);
    EXPECT_DOUBLE_EQ(s.sample(1000).headX, 100.0);
    EXPECT_DOUBLE_EQ(s.sample(1000).headY, -50.0);
    EXPECT_LT(s.sample(600).headX, 20.0) << "eased, not linear, near the key";
    EXPECT_DOUBLE_EQ(s.sample(1900).headX, 200.0);
}

TEST(Timeline, PauseHoldsAndResumeContinues)
{
    PlaybackTimeline t;
    t.setLength(1000);
    t.play(100);
    EXPECT_DOUBLE_EQ(t.position(400), 300);
    t.pause(400);
    EXPECT_DOUBLE_EQ(t.position(5000), 300);
    t.play(5000);
    EXPECT_DOUBLE_EQ(t.position(5100), 400);
    EXPECT_TRUE(t.reachedEnd(5700));
    EXPECT_DOUBLE_EQ(t.position(9999), 1000) << "never past the end";
    t.followExternalClock(250, 6000);
    EXPECT_DOUBLE_EQ(t.position(6000), 250) << "the sound's clock takes over";
}

// Blinks on their own: 2 to 7 s apart (0.45 s for the second of a double
// blink), about 4 s on average, each closed for about a tenth of a second.
TEST(LifeMotion, BlinksAtNaturalIntervalsAndDurations)
{
    LifeMotion life(1234);
    life.setMode(1);
    std::vector<double> starts;
    double closedTime = 0;
    bool wasClosed = false;
    for (double t = 0; t < 600; t += 0.01) {
        const double blink = life.at(t).blink;
        if (blink > 0 && !wasClosed)
            starts.push_back(t);
        wasClosed = blink > 0;
        closedTime += blink > 0.5 ? 0.01 : 0;
    }
    ASSERT_GE(starts.size(), 100u);
    double sum = 0;
    int singles = 0;
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const double gap = starts[i] - starts[i - 1];
        EXPECT_TRUE((gap > 0.4 && gap < 0.5) || (gap > 1.99 && gap < 7.01)) << gap;
        if (gap > 1.0)
            sum += gap, ++singles;
    }
    EXPECT_NEAR(sum / singles, 4.0, 0.6);
    const double perBlink = closedTime / double(starts.size());
    EXPECT_GT(perBlink, 0.1);
    EXPECT_LT(perBlink, 0.25);
}

// Each mode adds one layer and nothing of the next: blinks, then breathing,
// then gaze, head and hair. The hair lags a head that script or host move in
// every mode that lives.
TEST(LifeMotion, EachModeAddsItsOwnLayer)
{
    std::array<LifeMotion, 4> modes{LifeMotion(7), LifeMotion(7), LifeMotion(7), LifeMotion(7)};
    std::array<double, 4> blink{}, breath{}, gaze{}, head{}, hair{};
    for (double t = 0; t < 30; t += 0.02) {
        for (std::size_t m = 0; m < 4; ++m) {
            modes[m].setMode(int(m));
            const LifeOffsets o = modes[m].at(t);
            blink[m] = std::max(blink[m], o.blink);
            breath[m] = std::max(breath[m], std::abs(o.breath));
            gaze[m] = std::max(gaze[m], std::abs(o.eyeX) + std::abs(o.eyeY));
            head[m] = std::max(head[m], std::abs(o.headX) + std::abs(o.headY) + std::abs(o.headZ));
            hair[m] = std::max(hair[m], std::abs(o.hairX) + std::abs(o.hairY) + std::abs(o.hairZ));
        }
    }
    EXPECT_EQ(blink[0] + breath[0] + gaze[0] + head[0] + hair[0], 0.0);
    EXPECT_GT(blink[1], 0.99);
    EXPECT_EQ(breath[1] + gaze[1] + head[1], 0.0);
    EXPECT_GT(breath[2], 0.6);
    EXPECT_EQ(gaze[2] + head[2] + hair[2], 0.0);
    EXPECT_GT(gaze[3], 0.1);
    EXPECT_GT(head[3], 0.03);
    EXPECT_GT(hair[3], 0.001);

    for (std::size_t m = 0; m < 4; ++m) {
        const LifeContext turned{.headX = 0.6};
        const LifeOffsets o = modes[m].at(30.05, turned);
        if (m == 0)
            EXPECT_EQ(o.hairX, 0.0);
        else
            EXPECT_LT(o.hairX, -0.3) << "the hair trails a posed turn in mode " << m;
    }
}

TEST(LifeMotion, FreshSeedsBlinkAtDifferentMoments)
{
    LifeMotion a(LifeMotion::freshSeed()), b(LifeMotion::freshSeed());
    a.setMode(1), b.setMode(1);
    int differ = 0;
    for (double t = 0; t < 60; t += 0.05)
        differ += (a.at(t).blink > 0) != (b.at(t).blink > 0);
    EXPECT_GT(differ, 5);
}

// Free gaze measured from the eyes and head the model produces, every
// millisecond for five minutes: each saccade lasts 21 ms + 2.2 ms a degree,
// its peak velocity grows with its size but saturates, and it is followed by
// a fixation of natural length.
TEST(GazeModel, SaccadesFollowTheMainSequenceAndFixationsHold)
{
    GazeModel model(99);
    struct Seen { double start, end, amplitude, peak; };
    std::vector<Seen> saccades;
    GazeAngles last{};
    bool moving = false;
    Seen current{};
    GazeAngles from{};
    for (int ms = 0; ms < 300000; ++ms) {
        const double t = ms / 1000.0;
        const GazeState s = model.at(t, false);
        const GazeAngles gaze{s.eyes.x + s.head.x, s.eyes.y + s.head.y};
        const double speed = distance(gaze, last) * 1000.0;
        if (speed > 1.0 && !moving)
            moving = true, current = {t - 0.001, 0, 0, 0}, from = last;
        if (moving)
            current.peak = std::max(current.peak, speed);
        if (speed <= 1.0 && moving) {
            moving = false;
            current.end = t - 0.001;
            current.amplitude = distance(from, last);
            saccades.push_back(current);
        }
        last = gaze;
    }
    ASSERT_GT(saccades.size(), 200u);
    double smallPeak = 0, largePeak = 0;
    int small = 0, large = 0;
    std::vector<double> fixations;
    for (std::size_t i = 0; i < saccades.size(); ++i) {
        const Seen& k = saccades[i];
        EXPECT_NEAR(k.end - k.start, 0.021 + 0.0022 * k.amplitude, 0.003) << k.amplitude;
        if (k.amplitude > 4 && k.amplitude < 8)
            smallPeak += k.peak / k.amplitude, ++small;
        if (k.amplitude > 20) {
            largePeak += k.peak / k.amplitude, ++large;
            EXPECT_LT(k.peak, 700);
        }
        if (i > 0)
            fixations.push_back(k.start - saccades[i - 1].end);
    }
    ASSERT_GT(small, 10);
    ASSERT_GT(large, 5);
    EXPECT_GT(smallPeak / small, 1.5 * largePeak / large) << "velocity per degree falls with size";
    std::sort(fixations.begin(), fixations.end());
    EXPECT_GE(fixations.front(), 0.1);
    EXPECT_GT(fixations[fixations.size() / 2], 0.25);
    EXPECT_LT(fixations[fixations.size() / 2], 1.2);
}

// Eyes lead; the head follows a wide shift after a lag, part of the way,
// while the gaze stays on the target; a small shift leaves the head alone.
TEST(GazeModel, HeadFollowsWideShiftsPartOfTheWay)
{
    GazeModel model(5);
    model.at(0.0, true);
    model.at(5.0, true);  // settled at the viewer, the host holding the gaze
    model.glance(5.0, {35.0, 0.0}, 2.0);
    const GazeState early = model.at(5.03, true);
    EXPECT_GT(early.eyes.x, 5.0);
    EXPECT_LT(std::abs(early.head.x), 0.5) << "the head starts after the eyes";
    const GazeState arrived = model.at(5.0 + saccade::duration(35.0), true);
    EXPECT_NEAR(arrived.eyes.x + arrived.head.x, 35.0, 0.1);
    const GazeState later = model.at(5.9, true);
    EXPECT_NEAR(later.eyes.x + later.head.x, 35.0, 0.1) << "the eyes counter-roll as the head turns";
    EXPECT_NEAR(later.head.x, 0.75 * (35.0 - 15.0), 0.5);

    model.glance(6.5, {later.head.x + 8.0, 0.0}, 1.0);
    EXPECT_NEAR(model.at(7.2, true).head.x, later.head.x, 0.01) << "the eyes alone take a small shift";
}

// With the host steering the eyes (tracking), life keeps them on target with
// fixational movements only.
TEST(LifeMotion, HeldGazeStaysWithinHalfADegree)
{
    LifeMotion life(3);
    life.setMode(3);
    double worst = 0, moved = 0;
    for (double t = 0; t < 60; t += 0.005) {
        const LifeOffsets o = life.at(t, {0, 0, 0, true});
        if (t > 0.3) {
            const double deg = LifeMotion::kEyeDegrees * std::hypot(o.eyeX, o.eyeY);
            worst = std::max(worst, deg);
            moved += deg;
        }
    }
    EXPECT_LT(worst, 0.5);
    EXPECT_GT(moved, 0.0) << "not frozen";
}

// Breaths vary in length and depth, 12 to 20 a minute, each inhale shorter
// than its exhale.
TEST(Breathing, PeriodsVaryAndInhaleIsShorterThanExhale)
{
    Breathing breathing(11);
    std::vector<double> lows, highs;
    double before = breathing.at(0), previous = breathing.at(0.01);
    for (double t = 0.02; t < 600; t += 0.01) {
        const double now = breathing.at(t);
        if (previous < before && previous <= now)
            lows.push_back(t - 0.01);
        if (previous > before && previous >= now)
            highs.push_back(t - 0.01);
        before = previous, previous = now;
    }
    ASSERT_GT(lows.size(), 100u);
    std::vector<double> periods;
    for (std::size_t i = 1; i < lows.size(); ++i) {
        periods.push_back(lows[i] - lows[i - 1]);
        EXPECT_GE(periods.back(), 2.95);
        EXPECT_LE(periods.back(), 5.05);
        const auto high = std::upper_bound(highs.begin(), highs.end(), lows[i - 1]);
        ASSERT_NE(high, highs.end());
        EXPECT_LT(*high - lows[i - 1], lows[i] - *high) << "inhale shorter than exhale at " << lows[i - 1];
    }
    double mean = 0, spread = 0;
    for (double p : periods)
        mean += p / double(periods.size());
    for (double p : periods)
        spread += (p - mean) * (p - mean) / double(periods.size());
    EXPECT_GT(std::sqrt(spread), 0.25) << "breaths vary";
}

// Speech: a glance aside as the phrase starts, accents (brows and a nod) on
// some strong vowels or, given the words, on stressed words, but no constant
// raise, and a settle of the head at its end.
TEST(LifeMotion, SpeechGesturesAccentAndFrameAPhrase)
{
    LifeMotion life(21);
    life.setMode(3);
    life.at(0.0);
    life.at(3.0);
    life.speechActive(3.0, true);
    double aside = 0, back = 90, browTime = 0, browPeak = 0, nodPeak = 0;
    int sound = 0;
    double t = 3.0;
    for (; t < 7.0; t += 0.01) {
        if (std::fmod(t - 3.0, 0.2) < 0.01)
            life.speechSound(t, (sound++ % 2) ? viseme::aa : viseme::DD, 1.0);
        const LifeOffsets o = life.at(t);
        const double gaze = std::abs(o.eyeX * LifeMotion::kEyeDegrees + o.headX * LifeMotion::kHeadTurnDegrees);
        if (t < 3.6)
            aside = std::max(aside, gaze);
        if (t > 3.85 && t < 3.95)
            back = std::min(back, gaze);
        browTime += o.brows > 0.1 ? 0.01 : 0;
        browPeak = std::max(browPeak, o.brows);
        nodPeak = std::max(nodPeak, o.headY);
    }
    EXPECT_GT(aside, 6.0);
    EXPECT_LT(back, 3.5);
    EXPECT_GT(browPeak, 0.5);
    EXPECT_LT(browTime, 0.6 * 4.0) << "no stare";
    EXPECT_GT(nodPeak, 0.05);
    life.speechSound(t, viseme::Silence, 0.0);
    double settle = 0;
    for (; t < 8.5; t += 0.01)
        settle = std::max(settle, life.at(t).headY);
    EXPECT_GT(settle, 0.03);

    // With the words' timing the accents land on stressed words, and the
    // strong vowels of unstressed ones bring none.
    LifeMotion worded(21);
    worded.setMode(3);
    worded.at(0.0);
    worded.speechActive(1.0, true);
    double before = 0, after = 0, peakAt = 0;
    for (int step = 0; step < 300; ++step) {
        const double at = 1.0 + step * 0.01;
        if (step % 20 == 0)
            worded.speechSound(at, (step / 20) % 2 ? viseme::aa : viseme::DD, 1.0);
        if (step % 40 == 0)
            worded.speechWord(at, step == 160 ? 1.0 : 0.1);
        const double brows = worded.at(at).brows;
        if (step < 160)
            before = std::max(before, brows);
        else if (brows > after)
            after = brows, peakAt = at;
    }
    EXPECT_LT(before, 0.01);
    EXPECT_GT(after, 0.5);
    EXPECT_GT(peakAt, 2.6);
    EXPECT_LT(peakAt, 2.95);
}

// A phrase ends at a silence that lasts, not at a gap between its words: the
// sound after a gap starts the clock afresh.
TEST(LifeMotion, APhraseEndsOnlyAtASilenceThatLasts)
{
    using Cue = SpeechGestures::Cue;
    SpeechGestures gestures(5);
    EXPECT_EQ(gestures.active(1.0, true), Cue::None);
    EXPECT_EQ(gestures.sound(1.0, viseme::aa, 1.0), Cue::PhraseStart);
    EXPECT_EQ(gestures.sound(1.3, viseme::Silence, 0.0), Cue::None);
    EXPECT_EQ(gestures.poll(1.45), Cue::None) << "a gap between words";
    EXPECT_EQ(gestures.sound(1.45, viseme::E, 0.02), Cue::None) << "too soft to count as sound";
    EXPECT_EQ(gestures.sound(1.5, viseme::DD, 1.0), Cue::None) << "the same phrase goes on";
    for (int step = 0; step < 10; ++step) {
        const double t = 1.5 + 0.05 * step;
        gestures.sound(t, step % 2 ? viseme::aa : viseme::kk, 1.0);
        ASSERT_EQ(gestures.poll(t + 0.01), Cue::None) << "mid-sentence at " << t << " s";
    }
    EXPECT_EQ(gestures.sound(2.0, viseme::Silence, 0.0), Cue::None);
    EXPECT_EQ(gestures.poll(2.2), Cue::None);
    EXPECT_EQ(gestures.poll(2.3), Cue::PhraseEnd) << "a quarter of a second after the sound stopped";
    EXPECT_EQ(gestures.poll(2.4), Cue::None) << "once";
    EXPECT_EQ(gestures.sound(2.6, viseme::aa, 1.0), Cue::PhraseStart);
}

// Hair hangs behind a turning head and swings back into place.
TEST(HairSwing, LagsTheHeadAndSettles)
{
    HairSwing hair;
    hair.at(0.0, {0, 0, 0});
    EXPECT_LT(hair.at(0.05, {0.5, 0, 0})[0], -0.3);
    double overshoot = 0;
    for (double t = 0.06; t < 3.0; t += 0.01)
        overshoot = std::max(overshoot, hair.at(t, {0.5, 0, 0})[0]);
    EXPECT_GT(overshoot, 0.02);
    EXPECT_NEAR(hair.at(5.0, {0.5, 0, 0})[0], 0.0, 0.005);
}

}  // namespace
}  // namespace vizmo::player
