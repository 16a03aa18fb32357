#pragma once
// How loud the voice is and how loud the room is, learnt as the sound
// streams, so that the same rules hold for a quiet microphone, a loud
// recording and a noisy room: the noise floor is the quietest the sound has
// been over the last two seconds, the voice's level the loudness its voiced
// frames reach nine times in ten. A frame too near the floor, or far below
// the voice, is silence: the gate that keeps steady noise from moving the
// mouth, and that rises with a louder room.

#include <cstdint>
#include <deque>

namespace vizmo::sound_shapes {

class VoiceLevels {
public:
    // Before any voice is heard, a voice is taken to be as loud as this.
    static constexpr double kFirstVoiceDb = -28;
    // Sound this far above the noise floor may be a voice.
    static constexpr double kAboveFloorDb = 8;
    // Sound this far below the voice is silence, however quiet the room.
    static constexpr double kBelowVoiceDb = 42;
    // Quieter than anything a microphone delivers as a voice.
    static constexpr double kQuietestVoiceDb = -72;

    // The next frame's loudness (dB), and whether it was voiced like a vowel.
    void add(double db, bool voiced);

    // Frames quieter than this are silence.
    double gateDb() const;
    double floorDb() const { return floorDb_; }
    double voiceDb() const { return voiceDb_; }

private:
    // The floor: a sliding minimum over the last kFloorFrames frames, kept
    // as the frames that could still become the minimum.
    struct Kept {
        std::int64_t frame;
        double db;
    };
    std::deque<Kept> candidates_;
    std::int64_t frame_ = 0;
    double floorDb_ = kQuietestVoiceDb - kAboveFloorDb;
    double voiceDb_ = kFirstVoiceDb;
};

}  // namespace vizmo::sound_shapes
