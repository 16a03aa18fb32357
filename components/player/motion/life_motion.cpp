#include "components/player/motion/life_motion.h"

#include <QRandomGenerator>

#include <algorithm>

namespace vizmo::player {

namespace {
constexpr double kDriftPerSecond = 0.12;  // noise cells a second: drifts of several seconds
}

LifeMotion::LifeMotion(quint32 seed)
    : gaze_(seed), blinks_(seed ^ 0x9e3779b9u), breathing_(seed + 17u), gestures_(seed * 31u + 7u),
      driftX_(seed + 101u), driftY_(seed + 202u), driftZ_(seed + 303u)
{
}

void LifeMotion::reseed(quint32 seed)
{
    const int mode = mode_;
    *this = LifeMotion(seed);
    mode_ = mode;
}

quint32 LifeMotion::freshSeed()
{
    return QRandomGenerator::global()->generate();
}

void LifeMotion::cue(double t, SpeechGestures::Cue cue)
{
    if (cue == SpeechGestures::Cue::PhraseStart) {
        if (mode_ >= 2)
            breathing_.breatheForPhrase(t);
        if (mode_ >= 3 && !gazeHeld_) {
            // Speakers look away as they start a phrase, mostly sideways and a little up.
            aside_ = -aside_;
            gaze_.glance(t, {aside_ * 9.0, 4.0}, 0.7);
        }
    } else if (cue == SpeechGestures::Cue::PhraseEnd && mode_ >= 1) {
        blinks_.phraseEnd(t);
    }
}

void LifeMotion::speechActive(double t, bool on)
{
    cue(t, gestures_.active(t, on));
}

void LifeMotion::speechSound(double t, int viseme, double weight)
{
    cue(t, gestures_.sound(t, viseme, weight));
}

LifeOffsets LifeMotion::at(double t, const LifeContext& context)
{
    LifeOffsets out;
    gazeHeld_ = context.gazeHeld;
    cue(t, gestures_.poll(t));
    const GazeState gaze = gaze_.at(t, context.gazeHeld);
    // Wide gaze shifts often come with a blink.
    for (const GazeModel::Shift& shift : gaze_.takeShifts()) {
        if (mode_ >= 3)
            blinks_.gazeShift(shift.seconds, shift.amplitudeDeg);
    }
    const double blink = blinks_.at(t);
    const double breath = breathing_.at(t);
    if (mode_ >= 1)
        out.blink = blink;
    if (mode_ >= 2)
        out.breath = breath;
    if (mode_ >= 3) {
        out.eyeX = gaze.eyes.x / kEyeDegrees;
        out.eyeY = gaze.eyes.y / kEyeDegrees;
        const double drift = t * kDriftPerSecond;
        out.headX = gaze.head.x / kHeadTurnDegrees + 0.05 * driftX_.at(drift);
        out.headY = -gaze.head.y / kHeadNodDegrees + 0.04 * driftY_.at(drift) + 0.012 * breath + gestures_.nod(t);
        out.headZ = 0.06 * driftZ_.at(drift);
        out.brows = gestures_.brows(t);
    }
    // The hair hangs from the head whatever moves it (script, host or life),
    // and keeps swinging through mode changes; a still face shows none of it.
    const auto lag = hair_.at(t, {context.headX + out.headX, context.headY + out.headY, context.headZ + out.headZ});
    if (mode_ >= 1)
        out.hairX = lag[0], out.hairY = lag[1], out.hairZ = lag[2];
    return out;
}

}  // namespace vizmo::player
