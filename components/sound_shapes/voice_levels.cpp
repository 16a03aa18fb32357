#include "components/sound_shapes/voice_levels.h"

#include <algorithm>

namespace vizmo::sound_shapes {

namespace {

// Two seconds of the room's frames: longer than the pauses inside speech, so
// that the floor stays where the room is while someone talks.
constexpr std::int64_t kFloorFrames = 200;
// The floor learnt from fewer of the room's frames than this is no lower
// than kFirstFloorDb: a third of a second, far more than a voice's bursts.
constexpr std::int64_t kFirstRoomFrames = 30;
constexpr double kFirstFloorDb = VoiceLevels::kQuietestVoiceDb - VoiceLevels::kAboveFloorDb;
// The voice's level tracks the 90th percentile of its voiced frames: up 0.9
// dB for a frame above it, down 0.1 dB for one below.
constexpr double kVoiceStepDb = 1.0;
constexpr double kVoicePercentile = 0.9;
// The swing tracks the 98th percentile of how far the room's frames (near
// the floor, and not periodic as voices and music are) rise above it: up 0.2
// dB for a frame above it, down 0.004 dB for one below, so a restless moment
// is remembered.
constexpr double kRoomBandDb = 15;
constexpr double kSwingStepDb = 0.2;
constexpr double kSwingPercentile = 0.98;
// Only frames this far from any voice are the room's for the swing: within a
// voice's reach, what is not periodic is its consonants (an s, a t's burst,
// an h), which rise over a hissing room's floor as far as its swells would.
constexpr std::int64_t kVoiceReachFrames = 20;

}  // namespace

void VoiceLevels::add(double db, bool vowel, bool periodic)
{
    // The floor is learnt from the room's own sound: music or a voice that
    // goes on for seconds does not become the floor its quieter notes would.
    if (!periodic) {
        while (!candidates_.empty() && candidates_.back().db >= db)
            candidates_.pop_back();
        candidates_.push_back({roomFrames_, db});
        while (candidates_.front().frame <= roomFrames_ - kFloorFrames)
            candidates_.pop_front();
        ++roomFrames_;
        // Until the room has been heard for a while, the little heard of it
        // may be a consonant's burst: the floor stays low.
        floorDb_ = roomFrames_ < kFirstRoomFrames ? std::min(kFirstFloorDb, candidates_.front().db)
                                                  : candidates_.front().db;
    }

    // The swing hears a frame of the room once kVoiceReachFrames have passed
    // after it with no voice, and none was heard as long before it.
    const double aboveFloor = db - floorDb_;
    if (periodic && db >= gateDb()) {
        lastVoiceFrame_ = frame_;
        while (!roomHeld_.empty() && roomHeld_.back().frame >= frame_ - kVoiceReachFrames)
            roomHeld_.pop_back();
    } else if (!periodic && aboveFloor < kRoomBandDb && frame_ > lastVoiceFrame_ + kVoiceReachFrames) {
        roomHeld_.push_back({frame_, aboveFloor});
    }
    while (!roomHeld_.empty() && roomHeld_.front().frame <= frame_ - kVoiceReachFrames) {
        const double above = roomHeld_.front().aboveFloorDb;
        roomHeld_.pop_front();
        swingDb_ += above > swingDb_ ? kSwingStepDb * kSwingPercentile : -kSwingStepDb * (1 - kSwingPercentile);
    }
    ++frame_;

    if (vowel && db >= gateDb())
        voiceDb_ += db > voiceDb_ ? kVoiceStepDb * kVoicePercentile : -kVoiceStepDb * (1 - kVoicePercentile);
    // However quiet the voice, it stays above the gate it is measured by.
    voiceDb_ = std::max(voiceDb_, floorDb_ + kAboveFloorDb + 6);
}

double VoiceLevels::gateDb() const
{
    return std::max({floorDb_ + kAboveFloorDb, floorDb_ + swingDb_ + kAboveSwingDb, voiceDb_ - kBelowVoiceDb,
                     kQuietestVoiceDb});
}

}  // namespace vizmo::sound_shapes
