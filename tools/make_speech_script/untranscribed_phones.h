#pragma once
// Where the phones of a recording fall when its text is not known. An English
// voice is heard by the phone recogniser (phone_recognition.h); another
// language, or a recording the recogniser hears badly, gets stand-in phones
// from its sound alone (sound_shape_phones.h). Which one was used, and why, is said
// in `how`, for the tool's output and the script's comment.

#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/timed_speech.h"

#include <QString>

#include <optional>

namespace vizmo::speech {

struct UntranscribedPhones {
    TimedSpeech speech;
    QString how;
};

// `english`: the recording's language is English. Nothing, with `error` set,
// when the English model cannot be loaded.
std::optional<UntranscribedPhones> phonesWithoutTranscript(const Recording& recording, bool english,
                                                           QString* error);

// Whether eSpeak NG's voice key ("gmw/en-US", "en+f3") is an English one.
bool isEnglishVoice(const QByteArray& voiceId);

}  // namespace vizmo::speech
