#include "components/player/motion/speech_gestures.h"

#include "components/player/motion/envelope.h"
#include "components/player_control.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vizmo::player {

namespace {
// A silence shorter than this is a gap between words, not a phrase end.
constexpr double kPhraseGapSeconds = 0.25;
// Brows and nods mark only some accents: one every second or two at most.
constexpr double kAccentSpacingSeconds = 1.0;
constexpr double kNodSeconds = 0.4;
// Words the speech marks as stressed at least this much carry an accent, at
// most one in this time.
constexpr double kStressedWord = 0.5;
constexpr double kWordAccentSpacingSeconds = 0.8;
constexpr double kSettleSeconds = 0.9;

bool vowel(int v)
{
    return v >= viseme::aa && v <= viseme::ou;
}

// Rises quickly, holds a moment, falls slowly: 0.6 s in all.
double pulse(double t)
{
    return riseHoldFall(t, 0.12, 0.15, 0.35);
}
}  // namespace

SpeechGestures::SpeechGestures(quint32 seed) : random_(seed) {}

SpeechGestures::Cue SpeechGestures::active(double t, bool on)
{
    if (on)
        wordsTimed_ = false;
    if (on || !inPhrase_)
        return Cue::None;
    inPhrase_ = false;
    silenceSince_ = -1;
    settle_ = t;
    return Cue::PhraseEnd;
}

SpeechGestures::Cue SpeechGestures::sound(double t, int viseme, double weight)
{
    if (viseme == viseme::Silence || weight <= 0.05) {
        if (inPhrase_ && silenceSince_ < 0)
            silenceSince_ = t;
        return Cue::None;
    }
    silenceSince_ = -1;
    if (!inPhrase_) {
        inPhrase_ = true;
        phraseStart_ = t;
        return Cue::PhraseStart;
    }
    if (!wordsTimed_ && vowel(viseme) && weight >= 0.8 && t - accent_ >= kAccentSpacingSeconds && t - phraseStart_ >= 0.25 &&
        random_.chance(0.4)) {
        accent_ = t;
        accentSize_ = random_.uniform(0.6, 1.0);
    }
    return Cue::None;
}

void SpeechGestures::word(double t, double stress)
{
    wordsTimed_ = true;
    // Stressed words carry the accent, the stronger the stress the larger,
    // still no more than one a second or so.
    if (stress < kStressedWord || t - accent_ < kWordAccentSpacingSeconds)
        return;
    accent_ = t;
    accentSize_ = std::clamp(0.4 + 0.6 * stress, 0.0, 1.0);
}

SpeechGestures::Cue SpeechGestures::poll(double t)
{
    if (!inPhrase_ || silenceSince_ < 0 || t - silenceSince_ < kPhraseGapSeconds)
        return Cue::None;
    inPhrase_ = false;
    settle_ = silenceSince_ + kPhraseGapSeconds;
    silenceSince_ = -1;
    return Cue::PhraseEnd;
}

double SpeechGestures::brows(double t) const
{
    return accentSize_ * pulse(t - accent_);
}

double SpeechGestures::nod(double t) const
{
    double chin = 0;
    if (const double a = t - accent_; a >= 0 && a < kNodSeconds)
        chin += 0.10 * accentSize_ * std::sin(std::numbers::pi * a / kNodSeconds);
    if (const double s = t - settle_; s >= 0 && s < kSettleSeconds)
        chin += 0.05 * std::sin(std::numbers::pi * s / kSettleSeconds);
    return chin;
}

}  // namespace vizmo::player
