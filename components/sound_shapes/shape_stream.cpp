#include "components/sound_shapes/shape_stream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vizmo::sound_shapes {

namespace {

// A frame this periodic is a voice's or an instrument's, not a room's noise.
constexpr double kPeriodic = 0.5;

// A rise this large from the quietest point since the last syllable, into a
// vowel, is a syllable; it peaks where it has fallen this much again.
constexpr double kSyllableRiseDb = 6;
constexpr double kSyllableFallDb = 2;
// A syllable as loud as the voice's level is fully stressed, one this much
// quieter not at all.
constexpr double kUnstressedBelowVoiceDb = 12;

// The jaw opens with the sound's amplitude, from nothing at the gate to all
// the way a little above the voice's level; a little more than in
// proportion for quiet sounds, so that they still show. Starting from the
// gate, a sound that only just crosses it barely moves the mouth.
constexpr double kFullOpenAboveVoiceDb = 2;
constexpr double kOpenExponent = 0.8;

double opennessOf(double db, const VoiceLevels& levels)
{
    const double full = levels.voiceDb() + kFullOpenAboveVoiceDb;
    const double gate = std::pow(10.0, (levels.gateDb() - full) / 20);
    const double amplitude = std::pow(10.0, (db - full) / 20);
    return std::pow(std::clamp((amplitude - gate) / (1 - gate), 0.0, 1.0), kOpenExponent);
}

}  // namespace

ShapeStream::ShapeStream(FrameSink settled, FrameSink heard) : sink_(std::move(settled)), heard_(std::move(heard))
{
    reset();
}

ShapeStream::~ShapeStream() = default;

void ShapeStream::reset()
{
    levels_ = VoiceLevels();
    vowels_ = SpeakerVowels();
    restart();
}

void ShapeStream::learn(std::span<const float> samples)
{
    FrameSink settled = std::exchange(sink_, [](const ShapeFrame&) {});
    FrameSink heard = std::exchange(heard_, {});
    restart();
    push(samples);
    finish();
    sink_ = std::move(settled);
    heard_ = std::move(heard);
    restart();
}

// The stream's position in its sound and what it holds of it; what it has
// learnt of the voice stays.
void ShapeStream::restart()
{
    // The first frame's window reaches back before the sound: silence there.
    pending_.assign(std::size_t(kLookAhead), 0.f);
    samplesIn_ = 0;
    nextFrame_ = 0;
    window_.clear();
    given_ = 0;
    valleyDb_ = 0;
    peakDb_ = 0;
    rising_ = false;
}

void ShapeStream::push(std::span<const float> samples)
{
    // A broken input may deliver anything: what is not a number is silence,
    // and nothing is louder than full scale.
    for (float s : samples)
        pending_.push_back(std::isfinite(s) ? std::clamp(s, -1.f, 1.f) : 0.f);
    samplesIn_ += std::int64_t(samples.size());
    analyseReadyFrames();
}

void ShapeStream::finish()
{
    const std::int64_t frames = samplesIn_ / kHop;
    while (nextFrame_ < frames) {
        pending_.resize(std::max(pending_.size(), std::size_t(kWindow)), 0.f);
        analyseReadyFrames();
    }
    while (given_ < nextFrame_)
        settle();
    window_.clear();
}

void ShapeStream::analyseReadyFrames()
{
    std::size_t used = 0;
    while (pending_.size() - used >= std::size_t(kWindow)) {
        const FrameFeatures f = analyser_.analyse(std::span<const float, kWindow>(pending_.data() + used, kWindow));
        used += kHop;
        const bool voiced = clearlyVoiced(f);
        levels_.add(f.db, voiced, f.voicing >= kPeriodic);
        if (voiced && f.db >= levels_.gateDb())
            vowels_.add(f.f1, f.f2, f.brightness);
        decide({nextFrame_, classify(f, levels_, vowels_), opennessOf(f.db, levels_), f.db});
        ++nextFrame_;
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(used));
}

void ShapeStream::decide(const Analysed& next)
{
    if (heard_)
        heard_({next.index, next.sound, next.sound == SoundClass::Silence ? 0.0 : next.openness, next.db, std::nullopt});
    window_.push_back(next);
    if (next.index >= given_ + kVoteReach)
        settle();
}

// The oldest frame not yet given takes the class most frames within
// kVoteReach of it have, its own when there is a tie, so that no single
// frame flickers; near the ends of the sound fewer frames vote.
void ShapeStream::settle()
{
    while (!window_.empty() && window_.front().index < given_ - kVoteReach)
        window_.pop_front();
    std::array<int, kSoundClassCount> votes{};
    const Analysed* centre = nullptr;
    for (const Analysed& a : window_) {
        if (a.index > given_ + kVoteReach)
            break;
        ++votes[std::size_t(a.sound)];
        if (a.index == given_)
            centre = &a;
    }
    SoundClass sound = centre->sound;
    for (int c = 0; c < kSoundClassCount; ++c) {
        if (votes[std::size_t(c)] > votes[std::size_t(sound)])
            sound = SoundClass(c);
    }
    give(given_, sound, centre->openness, centre->db);
    ++given_;
}

void ShapeStream::give(std::int64_t index, SoundClass sound, double openness, double db)
{
    ShapeFrame frame{index, sound, sound == SoundClass::Silence ? 0.0 : openness, db, std::nullopt};
    if (!rising_) {
        valleyDb_ = std::min(valleyDb_, db);
        if (isVowel(sound) && db - valleyDb_ >= kSyllableRiseDb) {
            rising_ = true;
            peakDb_ = db;
        }
    } else if (db > peakDb_ && isVowel(sound)) {
        peakDb_ = db;
    } else if (peakDb_ - db >= kSyllableFallDb || !isVowel(sound)) {
        // A bump far under the voice is no syllable anyone hears as stressed.
        const double stress = 1.0 - (levels_.voiceDb() - peakDb_) / kUnstressedBelowVoiceDb;
        if (stress > 0)
            frame.accent = std::min(stress, 1.0);
        rising_ = false;
        valleyDb_ = db;
    }
    sink_(frame);
}

namespace {
std::vector<ShapeFrame> readWhole(std::span<const float> samples, bool knowingTheVoice)
{
    std::vector<ShapeFrame> frames;
    ShapeStream stream([&](const ShapeFrame& f) { frames.push_back(f); });
    if (knowingTheVoice)
        stream.learn(samples);
    stream.push(samples);
    stream.finish();
    return frames;
}
}  // namespace

std::vector<ShapeFrame> shapesOf(std::span<const float> samples) { return readWhole(samples, false); }
std::vector<ShapeFrame> shapesOfKnownVoice(std::span<const float> samples) { return readWhole(samples, true); }

}  // namespace vizmo::sound_shapes
