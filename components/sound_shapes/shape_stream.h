#pragma once
// Mouth shapes from a voice as it streams, in any language, with no
// transcript: the one analysis behind both the player's listening (a live
// input, in pieces as they arrive) and the recorded-voice tool (a file,
// handed over whole). Each 10 ms frame gets its class (what the lips and jaw
// do), how far the jaw opens with the loudness, and, at the loudest moment of
// a syllable, how strongly it is stressed. The gate, the voice's level and the
// speaker's vowels are learnt from the sound itself as it comes, so a frame's
// result depends only on the sound up to kDelaySamples after it: pieces of
// any size give the same frames.
//
// Each frame is given twice over: as soon as it is heard, in the class its
// own sound has (what a live mouth shows at once), and settled, once the
// frames either side have voted on its class (what a recording's script and
// the face's gestures take).
//
// Not thread-safe: one stream is fed from one thread at a time.

#include "components/sound_shapes/frame_features.h"
#include "components/sound_shapes/sound_class.h"
#include "components/sound_shapes/speaker_vowels.h"
#include "components/sound_shapes/voice_levels.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vizmo::sound_shapes {

struct ShapeFrame {
    std::int64_t index = 0;       // from the stream's start; frame f is heard over [f, f + 1) * kHop samples
    SoundClass sound = SoundClass::Silence;
    double openness = 0;          // 0..1: how far the jaw opens, with the loudness against the voice's
    double db = -200;             // the frame's loudness
    std::optional<double> accent; // 0..1: a syllable peaked here, this strongly stressed
};

class ShapeStream {
public:
    // A frame is heard this many samples after its end: its window reaches
    // past it; and settled kVoteReach frames later, when the frames either
    // side have voted on its class.
    static constexpr int kHeardDelaySamples = kLookAhead;
    static constexpr int kVoteReach = 2;
    static constexpr int kDelaySamples = kLookAhead + kVoteReach * kHop;

    using FrameSink = std::function<void(const ShapeFrame&)>;
    // `settled` hears every frame once settled; `heard`, when given, every
    // frame as soon as it is heard (no accents yet).
    explicit ShapeStream(FrameSink settled, FrameSink heard = {});
    ~ShapeStream();
    ShapeStream(const ShapeStream&) = delete;
    ShapeStream& operator=(const ShapeStream&) = delete;

    // Mono samples at kRate, -1..1; the sink hears every frame they complete.
    void push(std::span<const float> samples);
    // The sound has ended: the frames still owed are given, heard as if
    // silence followed.
    void finish();
    // Starts afresh, as a new stream from another source.
    void reset();
    // Hears `samples` to learn the voice from them (its levels and the
    // speaker's vowels) and gives no frame: the sound pushed next starts a
    // stream of its own, from frame 0, that already knows the voice, as a
    // listener who has heard it once does.
    void learn(std::span<const float> samples);

    const VoiceLevels& levels() const { return levels_; }

private:
    // A frame analysed, its class not yet settled.
    struct Analysed {
        std::int64_t index;
        SoundClass sound;
        double openness;
        double db;
    };
    void restart();
    void analyseReadyFrames();
    void decide(const Analysed& next);
    void settle();
    void give(std::int64_t index, SoundClass sound, double openness, double db);

    FrameSink sink_, heard_;
    FrameAnalyser analyser_;
    VoiceLevels levels_;
    SpeakerVowels vowels_;
    std::vector<float> pending_;   // from the first sample of the next frame's window on
    std::int64_t samplesIn_ = 0;
    std::int64_t nextFrame_ = 0;   // the next frame to analyse
    std::deque<Analysed> window_;  // the frames that vote on the next one to give
    std::int64_t given_ = 0;       // the next frame to give

    // Syllables, for the accents: a rise of some decibels from a valley into
    // a vowel, peaking before it falls again.
    double valleyDb_ = 0;
    double peakDb_ = 0;
    bool rising_ = false;
};

// Every frame of a whole sound at kRate, read as a listener reads it from
// its first frame.
std::vector<ShapeFrame> shapesOf(std::span<const float> samples);
// The same, read by a listener who has heard the whole sound once already:
// the offline caller's way in, which knows the whole voice before its first
// frame where a live listener learns it over the first second or two.
std::vector<ShapeFrame> shapesOfKnownVoice(std::span<const float> samples);

}  // namespace vizmo::sound_shapes
