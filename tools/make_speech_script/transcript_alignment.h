#pragma once
// Where the phones of a recorded voice fall, given what it says: eSpeak NG
// speaks the transcript, whose phones it times itself, and that rendition
// is warped onto the recording by its spectra (tools/make_speech_script/
// time_warp.h); each phone's start, a stop's from its closure
// (stop_closures.h), is carried along the warp. Silence at
// either end of the recording stays silence: the rendition is given some
// of its own to pair with it.

#include "components/speech/lip_sync.h"
#include "components/speech/speech_engine.h"
#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/synthesis.h"
#include "tools/make_speech_script/timed_speech.h"

#include <QString>

#include <optional>

namespace vizmo::speech {

// The rate recordings are read at for analysis.
constexpr int kAnalysisRate = 16000;

// How the mouth is timed to phones found in a recording. Those found from
// a transcript start their stops at their closures, as Flite marks its own,
// and lie about 5 ms after where Flite marks them
// (bench/speech/alignment_bench), so they take Flite's timing. Seen from outside (bench/speech/aligned_av_sync.sh),
// eSpeak NG's, made for stops marked at their bursts, put the mouth 35 ms
// earlier and out of step with the sound.
inline PhoneTiming foundPhoneTiming() { return phoneTimingOf(EngineKind::Flite); }

// The rendition's marks moved along the warp onto the recording.
TimedSpeech alignSynthesis(const Synthesis& rendition, const Recording& recording);
// The rendition's marks stretched evenly to the recording's length: what
// not warping at all would give.
TimedSpeech stretchSynthesis(const Synthesis& rendition, const Recording& recording);

// Speaks `transcript` with eSpeak NG's voice `voice` and aligns it; nothing,
// with `error` set, for an empty transcript, a voice that is not in the
// list, or a transcript the voice gives no phones for.
std::optional<TimedSpeech> alignTranscript(const Recording& recording, const QString& transcript, int voice,
                                           QString* error);

}  // namespace vizmo::speech
