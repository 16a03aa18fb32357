#pragma once
// The phones of a recorded English voice without its text: PocketSphinx's
// all-phone search (its US English acoustic model and phone language model)
// over the whole recording. The phones come as an engine's marks do, so the
// component's lip sync turns them into mouth cues by the same rules.

#include "components/speech/speech_engine.h"
#include "tools/make_speech_script/recording.h"

#include <QString>

#include <optional>
#include <vector>

namespace vizmo::speech {

struct RecognisedPhones {
    // Lower-case ARPAbet as Flite names its phones, silences and noises as
    // "pau"; sample positions at the recording's own rate.
    std::vector<PhoneMark> phones;
    // How far the recognition can be trusted, 0..1: the share of the loud
    // part of the recording heard as speech phones, times how well those
    // phones match their sound. Under kWeakRecognition the caller should
    // shape the mouth from the sound instead (see sound_shape_phones.h).
    double quality = 0;
    double speechShare = 0;  // of the loud 10 ms frames, those in speech phones
    double match = 0;        // 0..1, from the speech phones' acoustic score per frame
};

inline constexpr double kWeakRecognition = 0.5;

// The folder with the English model: $VIZMO_PHONE_MODEL if set, else where
// Debian's pocketsphinx-en-us puts it.
QString phoneModelFolder();

// The phones of `recording` (any rate; it is heard at 16 kHz), or nothing with
// `error` set when the model is missing or cannot be loaded. About 0.1 of
// real time. One call at a time: the library's logging is process-wide.
std::optional<RecognisedPhones> recognisePhones(const Recording& recording, QString* error,
                                                const QString& modelFolder = phoneModelFolder());

}  // namespace vizmo::speech
