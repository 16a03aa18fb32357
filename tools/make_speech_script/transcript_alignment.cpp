#include "tools/make_speech_script/transcript_alignment.h"

#include "components/player_control.h"
#include "components/speech/engine_thread.h"
#include "tools/make_speech_script/mfcc.h"
#include "tools/make_speech_script/nasal_releases.h"
#include "tools/make_speech_script/recording_pauses.h"
#include "tools/make_speech_script/stop_closures.h"
#include "tools/make_speech_script/time_warp.h"

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

// Silence added to both ends of the rendition, for the recording's own
// silence to pair with.
constexpr double kPadSeconds = 0.3;
constexpr std::size_t kRadius = 16;

std::vector<float> toFloat(const std::vector<std::int16_t>& samples)
{
    std::vector<float> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [](std::int16_t s) { return float(s) / 32768.f; });
    return out;
}

// eSpeak NG makes some phones as the end of the one before (an l after
// its vowel is the vowel's glide) and marks them at the next phone, with no
// length of their own: they are given the later part of the phone before.
constexpr double kGlideShare = 0.4;
std::vector<PhoneMark> withLengths(std::vector<PhoneMark> phones)
{
    for (std::size_t i = 1; i + 1 < phones.size(); ++i) {
        PhoneMark& before = phones[i - 1];
        PhoneMark& phone = phones[i];
        const std::int64_t end = phones[i + 1].startSample;
        if (phone.startSample == end && phone.startSample > before.startSample && sounding(phone) && sounding(before))
            phone.startSample = before.startSample + std::llround((1 - kGlideShare) * double(end - before.startSample));
    }
    return phones;
}

// Every mark of the rendition, moved by `to` (seconds in the rendition to
// seconds in the recording), kept in order and within the recording.
template <typename To>
TimedSpeech moved(const Synthesis& rendition, const Recording& recording, To to)
{
    const auto length = std::int64_t(recording.samples.size());
    auto sampleOf = [&](std::int64_t sample) {
        const double seconds = to(double(sample) / rendition.rate);
        return std::clamp(std::int64_t(std::llround(seconds * recording.rate)), std::int64_t(0), length);
    };
    TimedSpeech out;
    out.rate = recording.rate;
    for (PhoneMark phone : withLengths(fromClosures(rendition.phones, rendition.samples, rendition.rate))) {
        phone.startSample = sampleOf(phone.startSample);
        if (!out.phones.empty())
            phone.startSample = std::max(phone.startSample, out.phones.back().startSample);
        out.phones.push_back(phone);
    }
    for (WordMark word : rendition.words) {
        word.startSample = sampleOf(word.startSample);
        if (!out.words.empty())
            word.startSample = std::max(word.startSample, out.words.back().startSample);
        out.words.push_back(word);
    }
    return out;
}

// eSpeak NG ends a clause with two or three pause marks in a row ("_:",
// "_"), none long enough alone for the mouth to rest; heard, they are one
// pause, from the first.
void joinPauses(std::vector<PhoneMark>& phones)
{
    const auto repeated = std::unique(phones.begin(), phones.end(), [](const PhoneMark& before, const PhoneMark& phone) {
        return !sounding(before) && !sounding(phone);
    });
    phones.erase(repeated, phones.end());
}

}  // namespace

TimedSpeech alignSynthesis(const Synthesis& rendition, const Recording& recording)
{
    const FeatureOptions options{recording.rate};
    const auto pad = std::size_t(std::lround(kPadSeconds * recording.rate));
    std::vector<float> padded(pad, 0.f);
    const auto spoken = resample(toFloat(rendition.samples), rendition.rate, recording.rate);
    padded.insert(padded.end(), spoken.begin(), spoken.end());
    padded.resize(padded.size() + pad, 0.f);

    const auto path = warpPath(mfccFeatures(padded, options), mfccFeatures(recording.samples, options), kRadius);
    const TimeMap map(path, options.hopMs / 1000, options.windowMs / 1000);
    TimedSpeech aligned = moved(rendition, recording, [&](double seconds) { return map(seconds + kPadSeconds); });
    aligned.phones = fromNasalReleases(std::move(aligned.phones), recording.samples, recording.rate);
    keepPausesSilent(aligned, recording);
    joinPauses(aligned.phones);
    return aligned;
}

TimedSpeech stretchSynthesis(const Synthesis& rendition, const Recording& recording)
{
    const double scale = rendition.samples.empty()
                             ? 1.0
                             : double(recording.samples.size()) / recording.rate / (double(rendition.samples.size()) / rendition.rate);
    return moved(rendition, recording, [&](double seconds) { return seconds * scale; });
}

std::optional<TimedSpeech> alignTranscript(const Recording& recording, const QString& transcript, int voice,
                                           QString* error)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (transcript.trimmed().isEmpty())
        return fail(QStringLiteral("the transcript is empty"));
    const auto& voices = EngineThread::of(EngineKind::Espeak).info().voices;
    if (voices.isEmpty())
        return fail(QStringLiteral("eSpeak NG has no voices"));
    if (voice < 0 || voice >= voices.size())
        return fail(QStringLiteral("voice %1 is not in eSpeak NG's list (0 to %2)").arg(voice).arg(voices.size() - 1));
    const Synthesis rendition = synthesize(EngineKind::Espeak, voice, transcript);
    const bool spoken = std::any_of(rendition.phones.begin(), rendition.phones.end(), sounding);
    if (!spoken || rendition.samples.empty())
        return fail(QStringLiteral("eSpeak NG's voice %1 (%2) gives no phones for the transcript")
                        .arg(voice)
                        .arg(voices[voice].name));
    return alignSynthesis(rendition, recording);
}

}  // namespace vizmo::speech
