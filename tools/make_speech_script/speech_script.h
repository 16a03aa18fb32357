#pragma once
// A speaking script: the sound's file beside it and a mouth track made by
// the component's own lip-sync rules, whatever found the phones (an engine
// that spoke them, or an analysis of a recording).

#include "components/speech/lip_sync.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace vizmo::speech {

// The mouth's cues for a voice: its sound (for how loud each vowel is) and
// its phones, at one rate, as LipSync plans them live.
std::vector<VisemeCue> mouthCues(const std::vector<std::int16_t>& samples, int rate,
                                 const std::vector<PhoneMark>& phones, PhoneTiming timing);

struct SpeechScript {
    QString title;
    QString source;  // how the sound and its phones were made, for a comment
    QString audioFile;  // the sound's file name, beside the script
    std::int64_t lengthMs = 0;
    int rate = 0;  // of the cues' sample positions
    std::vector<VisemeCue> cues;
};

// The script's text (see docs/file-formats.md).
QString scriptText(const SpeechScript& script);
// Writes `path` whole or not at all; false with `error` set when it cannot.
bool saveFile(const QString& path, const QByteArray& bytes, QString* error);
// A mono 16-bit PCM WAV file.
QByteArray wavBytes(const std::vector<std::int16_t>& samples, int rate);

}  // namespace vizmo::speech
