#pragma once
// How loud the voice is and how loud the room is, learnt as the sound
// streams, so that the same rules hold for a quiet microphone, a loud
// recording and a noisy room: the noise floor is the quietest the room's
// sound (what is not periodic, as voices and music are) has been over its
// last two seconds, the voice's level the loudness its voiced
// frames reach nine times in ten, and the room's swing how far its own
// noise rises above the floor (a fan hums steadily, a street swells),
// heard away from the voice, whose consonants are no room's noise. A
// frame within the swing of the floor, or far below the voice, is silence:
// the gate that keeps a room's noise from moving the mouth, and that rises
// with a louder or more restless room.

#include <cstdint>
#include <deque>

namespace vizmo::sound_shapes {

class VoiceLevels {
public:
    // Before any voice is heard, a voice is taken to be as loud as this.
    static constexpr double kFirstVoiceDb = -28;
    // Sound this far above the noise floor may be a voice, and this far
    // above the room's swing.
    static constexpr double kAboveFloorDb = 8;
    static constexpr double kAboveSwingDb = 3;
    // Sound this far below the voice is silence, however quiet the room.
    static constexpr double kBelowVoiceDb = 42;
    // Quieter than anything a microphone delivers as a voice.
    static constexpr double kQuietestVoiceDb = -72;

    // The next frame's loudness (dB), whether it was voiced like a vowel,
    // and whether it was periodic at all: a room's noise is not, where
    // voices and music are.
    void add(double db, bool vowel, bool periodic);

    // Frames quieter than this are silence.
    double gateDb() const;
    double floorDb() const { return floorDb_; }
    double swingDb() const { return swingDb_; }
    double voiceDb() const { return voiceDb_; }

private:
    // The floor: a sliding minimum over the room's last kFloorFrames frames,
    // kept as the frames that could still become the minimum.
    struct Kept {
        std::int64_t frame;
        double db;
    };
    std::deque<Kept> candidates_;
    std::int64_t roomFrames_ = 0;
    // The room's frames not yet heard by the swing: a voice may still come
    // within reach of them.
    struct Held {
        std::int64_t frame;
        double aboveFloorDb;
    };
    std::deque<Held> roomHeld_;
    std::int64_t frame_ = 0;
    std::int64_t lastVoiceFrame_ = -1'000'000;
    double floorDb_ = kQuietestVoiceDb - kAboveFloorDb;  // a quiet room, until one is heard
    double swingDb_ = kAboveFloorDb - kAboveSwingDb;
    double voiceDb_ = kFirstVoiceDb;
};

}  // namespace vizmo::sound_shapes
