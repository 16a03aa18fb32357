#include "components/sound_shapes/voice_levels.h"

#include <algorithm>

namespace vizmo::sound_shapes {

namespace {

// Two seconds: longer than the pauses inside speech, so that the floor
// stays where the room is while someone talks.
constexpr std::int64_t kFloorFrames = 200;
// The voice's level tracks the 90th percentile of its voiced frames: up 0.9
// dB for a frame above it, down 0.1 dB for one below.
constexpr double kVoiceStepDb = 1.0;
constexpr double kVoicePercentile = 0.9;

}  // namespace

void VoiceLevels::add(double db, bool voiced)
{
    while (!candidates_.empty() && candidates_.back().db >= db)
        candidates_.pop_back();
    candidates_.push_back({frame_, db});
    while (candidates_.front().frame <= frame_ - kFloorFrames)
        candidates_.pop_front();
    ++frame_;
    floorDb_ = candidates_.front().db;

    if (voiced && db >= gateDb())
        voiceDb_ += db > voiceDb_ ? kVoiceStepDb * kVoicePercentile : -kVoiceStepDb * (1 - kVoicePercentile);
    // However quiet the voice, it stays above the gate it is measured by.
    voiceDb_ = std::max(voiceDb_, floorDb_ + kAboveFloorDb + 6);
}

double VoiceLevels::gateDb() const
{
    return std::max({floorDb_ + kAboveFloorDb, voiceDb_ - kBelowVoiceDb, kQuietestVoiceDb});
}

}  // namespace vizmo::sound_shapes
