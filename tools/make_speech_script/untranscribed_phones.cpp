#include "tools/make_speech_script/untranscribed_phones.h"

#include "tools/make_speech_script/phone_recognition.h"
#include "tools/make_speech_script/sound_shape_phones.h"

namespace vizmo::speech {

namespace {

UntranscribedPhones fromSound(const Recording& recording, const QString& why)
{
    return {{shapesFromSound(recording), {}, recording.rate},
            QStringLiteral("shapes from the sound itself (loudness for the jaw, resonances for rounding and "
                           "spreading), %1")
                .arg(why)};
}

}  // namespace

bool isEnglishVoice(const QByteArray& voiceId)
{
    const QByteArray key = voiceId.mid(voiceId.lastIndexOf('/') + 1).toLower();
    return key == "en" || key.startsWith("en-") || key.startsWith("en+");
}

std::optional<UntranscribedPhones> phonesWithoutTranscript(const Recording& recording, bool english,
                                                           QString* error)
{
    if (!english)
        return fromSound(recording, QStringLiteral("as phones are recognised for English only"));
    auto recognised = recognisePhones(recording, error);
    if (!recognised)
        return std::nullopt;
    if (recognised->quality < kWeakRecognition)
        return fromSound(recording, QStringLiteral("as the phone recogniser heard it badly (quality %1, under %2)")
                                        .arg(recognised->quality, 0, 'f', 2)
                                        .arg(kWeakRecognition, 0, 'f', 2));
    return UntranscribedPhones{{std::move(recognised->phones), {}, recording.rate},
                               QStringLiteral("English phones recognised by PocketSphinx (quality %1)")
                                   .arg(recognised->quality, 0, 'f', 2)};
}

}  // namespace vizmo::speech
