#include "components/speech/espeak_engine.h"

#include "components/speech/quiet_start.h"
#include "components/speech/text_positions.h"
#include "components/speech/viseme_tables.h"

#include <espeak-ng/speak_lib.h>

#include <QLoggingCategory>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace vizmo::speech {

namespace {

Q_LOGGING_CATEGORY(lcEspeak, "vizmo.speech.espeak")

// What the synthesis callback needs; eSpeak hands it back as user data.
struct Job {
    SynthesisSink* sink = nullptr;
    const CodePointIndex* positions = nullptr;
    int sampleRate = 22050;
    QByteArrayView voice;  // the engine's key of the voice speaking
};

// Phonemes that eSpeak NG 1.51 writes with no IPA of their own, under its
// ASCII name, or under a wrong symbol, by the voices that have them.
struct IpaSlip {
    const char* voice;  // a voice key, or the start of one
    const char* written;
    const char* meant;
};
constexpr IpaSlip kIpaSlips[] = {
    {"zle/ru", "y", "ɨ"},       // ы: a close central vowel, lips spread, not the rounded y
    {"gmq/sv", "sx", "ɧ"},      // the sj sound, lips pushed forward
    {"sit/cmn", "s.", "ʂ"},     // a retroflex s, as in "shu"
};

QByteArray meantIpa(QByteArrayView voice, const QByteArray& written)
{
    for (const IpaSlip& slip : kIpaSlips) {
        if (voice.startsWith(QByteArrayView(slip.voice)) && written == slip.written)
            return QByteArray(slip.meant);
    }
    return written;
}

// A long name is cut at 8 bytes, which may be inside a letter's UTF-8
// sequence: that partial letter is dropped, the rest of the phone kept.
QByteArray wholeLetters(const char* name, std::size_t size)
{
    std::size_t end = strnlen(name, size), start = end;
    while (start > 0 && (static_cast<unsigned char>(name[start - 1]) & 0xC0) == 0x80)
        --start;  // continuation bytes of the last letter
    if (start > 0 && static_cast<unsigned char>(name[start - 1]) >= 0xC0) {
        const auto lead = static_cast<unsigned char>(name[start - 1]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (end - (start - 1) < length)
            end = start - 1;
    }
    return QByteArray(name, qsizetype(end));
}

int onSynth(short* wav, int count, espeak_EVENT* events)
{
    auto* job = static_cast<Job*>(events->user_data);
    if (!job)
        return 0;
    SpeechChunk chunk;
    if (wav && count > 0)
        chunk.samples.assign(wav, wav + count);
    for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        const std::int64_t sample = std::int64_t(e->audio_position) * job->sampleRate / 1000;
        if (e->type == espeakEVENT_PHONEME) {
            // The name is the phone in the IPA, in UTF-8: up to 8 bytes, not
            // NUL-terminated when it uses all 8. A change of language comes as
            // a phone named "(en)"; it is none.
            const QByteArray name = wholeLetters(e->id.string, sizeof e->id.string);
            if (!name.startsWith('('))
                chunk.phones.push_back(espeakPhone(sample, meantIpa(job->voice, name)));
        } else if (e->type == espeakEVENT_WORD && e->text_position > 0) {
            const auto [start, length] = job->positions->toUtf16(e->text_position - 1, e->length);
            chunk.words.push_back({sample, start, length});
        }
    }
    if (!chunk.samples.empty() || !chunk.phones.empty() || !chunk.words.empty())
        job->sink->deliver(std::move(chunk));
    return job->sink->cancelled() ? 1 : 0;
}

QString languageOf(const espeak_VOICE* voice)
{
    // languages: a priority byte, a name, NUL, repeated; the first is the main one.
    return voice->languages && voice->languages[0] ? QString::fromLatin1(voice->languages + 1) : QString();
}

// English (America) first, as it is selected after an engine change, then English (Great Britain).
int voiceRank(const QString& language)
{
    if (language == QLatin1String("en-us"))
        return 0;
    if (language == QLatin1String("en-gb"))
        return 1;
    return language.startsWith(QLatin1String("en")) ? 2 : 3;
}

QString kindOf(int gender) { return gender == 2 ? QStringLiteral("female") : QStringLiteral("male"); }

// Every language voice of eSpeak NG speaks as a man; a woman's voice is a
// variant on top. English gets one beside each of its two main voices, so
// the list offers both without repeating every variant for every language.
struct FemaleVariant {
    const char* language;
    const char* variant;
};
constexpr FemaleVariant kFemaleVariants[] = {{"en-us", "f3"}, {"en-gb", "f2"}};

// eSpeak NG's pitch parameter at 0, 10, ... 100, measured on its voices as
// log2 of the pitch heard over that at 50 (the same for men and women).
constexpr std::array<double, 11> kPitchCurve = {-0.58, -0.48, -0.38, -0.27, -0.14, 0.0,
                                                0.13,  0.25,  0.40,  0.56,  0.69};

}  // namespace

EspeakEngine::EspeakEngine()
{
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                       espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_PHONEME_IPA |
                                           espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        qCWarning(lcEspeak) << "eSpeak NG could not start; it has no voices";
        return;
    }
    sampleRate_ = rate;
    espeak_SetSynthCallback(onSynth);

    struct Entry { QString name, language; QByteArray id; };
    std::vector<Entry> entries;
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
        const QString name = QString::fromUtf8((*v)->name).replace(u'_', u' ');
        const QString language = languageOf(*v);
        entries.push_back({QStringLiteral("%1, %2").arg(name, kindOf((*v)->gender)), language, (*v)->identifier});
        for (const FemaleVariant& f : kFemaleVariants) {
            if (language == QLatin1String(f.language))
                entries.push_back({QStringLiteral("%1, female").arg(name), language,
                                   QByteArray((*v)->identifier) + '+' + f.variant});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int ra = voiceRank(a.language), rb = voiceRank(b.language);
        return ra != rb ? ra < rb : a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    for (const Entry& e : entries) {
        const bool shared = std::count_if(entries.begin(), entries.end(), [&](const Entry& o) { return o.name == e.name; }) > 1;
        voices_.append({shared ? QStringLiteral("%1 [%2]").arg(e.name, e.language) : e.name, e.id});
    }
}

int EspeakEngine::wordsPerMinute(int speed)
{
    // Halves at 0 and doubles at 100, within what the engine accepts.
    return std::clamp(int(std::lround(175.0 * std::exp2((speed - 50) / 50.0))), espeakRATE_MINIMUM,
                      espeakRATE_MAXIMUM);
}

int EspeakEngine::pitchParameter(int pitch)
{
    const double wanted = std::log2(pitchFactor(pitch));
    const auto above = std::upper_bound(kPitchCurve.begin(), kPitchCurve.end(), wanted);
    if (above == kPitchCurve.begin())
        return 0;
    if (above == kPitchCurve.end())
        return 100;
    const auto i = above - kPitchCurve.begin();
    const double low = kPitchCurve[std::size_t(i - 1)], high = *above;
    return int(std::lround(10.0 * (double(i - 1) + (wanted - low) / (high - low))));
}

void EspeakEngine::synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink)
{
    if (voices_.isEmpty())
        return;
    const int index = std::clamp(settings.voiceIndex, 0, int(voices_.size()) - 1);
    const QByteArray voice = settings.voiceId.isEmpty() ? voices_[index].id : settings.voiceId;
    if (espeak_SetVoiceByName(voice.constData()) != EE_OK)
        qCWarning(lcEspeak) << "voice" << voice << "could not be selected";
    espeak_SetParameter(espeakRATE, wordsPerMinute(settings.speed), 0);
    espeak_SetParameter(espeakPITCH, pitchParameter(settings.pitch), 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);  // Volume is applied at the output

    const QByteArray utf8 = text.toUtf8();
    const CodePointIndex positions(text);
    QuietStartSink trimmed(sink, sampleRate_);
    Job job{&trimmed, &positions, sampleRate_, voice};
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &job);
    trimmed.flush();
}

}  // namespace vizmo::speech
