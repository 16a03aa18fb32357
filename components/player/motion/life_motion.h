#pragma once
// The small motions of a living face, layered on top of script and posing,
// one clear step per LifeMode:
//   0 still;
//   1 blinks (on their own, and at the end of spoken phrases), and hair
//     lagging the head as script and host move it;
//   2 and breathing, which lifts shoulders and chest;
//   3 and a gaze that looks around with the head following wide shifts,
//     the head drifting slowly (the hair lagging that too), and speech
//     gestures (accents on brows and head, a glance aside as a phrase starts).
// Driven by elapsed time, so any frame rate shows the same motion.

#include "components/player/motion/blink_scheduler.h"
#include "components/player/motion/breathing.h"
#include "components/player/motion/gaze_model.h"
#include "components/player/motion/hair_swing.h"
#include "components/player/motion/smooth_noise.h"
#include "components/player/motion/speech_gestures.h"

namespace vizmo::player {

struct LifeOffsets {
    double blink = 0;                        // 0..1, both eyes
    double breath = 0;                       // -1..1 over a breath
    double headX = 0, headY = 0, headZ = 0;  // added to the pose, -1..1 units
    double eyeX = 0, eyeY = 0;               // added to both eyes' gaze, -1..1 units
    double hairX = 0, hairY = 0, hairZ = 0;  // how far the hair trails the head, head units
    double brows = 0;                        // 0..1 raise of a speech accent
};

// What life needs to know of the rest of the pose.
struct LifeContext {
    double headX = 0, headY = 0, headZ = 0;  // the head before life: script and host
    bool gazeHeld = false;                   // the host steers the eyes: only fixational motion
};

class LifeMotion {
public:
    // Degrees of eye rotation and of head turn and nod per pose unit.
    static constexpr double kEyeDegrees = 40.0;
    static constexpr double kHeadTurnDegrees = 34.4;
    static constexpr double kHeadNodDegrees = 24.0;

    explicit LifeMotion(quint32 seed);
    // Starts afresh from `seed`, keeping the mode.
    void reseed(quint32 seed);
    // A seed that differs from run to run.
    static quint32 freshSeed();

    void setMode(int mode) { mode_ = mode; }
    int mode() const { return mode_; }

    // Time must not go backwards between calls.
    LifeOffsets at(double seconds, const LifeContext& context = {});

    // The speech input as it arrives (weight 0..1).
    void speechActive(double seconds, bool on);
    void speechSound(double seconds, int viseme, double weight);
    void speechWord(double seconds, double stress) { gestures_.word(seconds, stress); }

private:
    void cue(double seconds, SpeechGestures::Cue cue);

    int mode_ = 0;
    GazeModel gaze_;
    BlinkScheduler blinks_;
    Breathing breathing_;
    HairSwing hair_;
    SpeechGestures gestures_;
    SmoothNoise driftX_, driftY_, driftZ_;
    double aside_ = 1.0;  // which side the next phrase's glance goes
    bool gazeHeld_ = false;
};

}  // namespace vizmo::player
