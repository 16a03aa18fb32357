// make_speech_script [--flite] [--voice N] <output path without extension> <text>
//   Speaks <text> with one of the component's engines and writes <name>.wav
//   (mono, 16-bit, the engine's rate) and <name>.qvs whose mouth track
//   follows the speech with the same cue shaping the component uses live.
// make_speech_script --audio <file.wav> [--text <text> | --text-file <file>] [--voice N] <output path>
//   Writes <name>.qvs for a recorded voice, its sound copied to <name>.wav:
//   the mouth follows eSpeak NG's phones of the transcript (voice N of its
//   list), lined up with the recording (transcript_alignment.h). Without a
//   transcript, the phones of an English recording are recognised, and any
//   other (voice N's language decides; English by default) takes its shapes
//   from the sound (untranscribed_phones.h).
// make_speech_script --voices [--flite]
//   Lists the engine's voices, one a line: N, the engine's key, the name.
#include "components/speech/engine_thread.h"
#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/speech_script.h"
#include "tools/make_speech_script/synthesis.h"
#include "tools/make_speech_script/transcript_alignment.h"
#include "tools/make_speech_script/untranscribed_phones.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

using namespace vizmo::speech;

namespace {

constexpr const char* kUsage =
    "usage: make_speech_script [--flite] [--voice N] <output path without extension> <text>\n"
    "       make_speech_script --audio <file.wav> [--text <text> | --text-file <file>] [--voice N]\n"
    "                          <output path without extension>\n"
    "       make_speech_script --voices [--flite]\n";

struct Options {
    bool flite = false;
    bool listVoices = false;
    int voice = 0;
    QString audio;                      // a recording: its mode
    std::optional<QString> transcript;  // what the recording says, when known
    QStringList positional;
};

int fail(int code, const QString& message)
{
    std::fprintf(stderr, "make_speech_script: %s\n", qPrintable(message));
    return code;
}

// The options, or nothing with `error` set.
std::optional<Options> parse(QStringList args, QString* error)
{
    Options o;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        auto value = [&]() -> std::optional<QString> {
            if (args.isEmpty()) {
                *error = arg + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            return args.takeFirst();
        };
        if (arg == QLatin1String("--flite")) {
            o.flite = true;
        } else if (arg == QLatin1String("--voices")) {
            o.listVoices = true;
        } else if (arg == QLatin1String("--voice") || arg == QLatin1String("--audio") ||
                   arg == QLatin1String("--text") || arg == QLatin1String("--text-file")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            if (arg == QLatin1String("--voice")) {
                bool ok = false;
                o.voice = v->toInt(&ok);
                if (!ok) {
                    *error = QStringLiteral("voice %1 is not a number").arg(*v);
                    return std::nullopt;
                }
            } else if (arg == QLatin1String("--audio")) {
                o.audio = *v;
            } else if (arg == QLatin1String("--text")) {
                o.transcript = *v;
            } else {
                QFile file(*v);
                if (!file.open(QIODevice::ReadOnly)) {
                    *error = QStringLiteral("cannot read the transcript %1: %2").arg(*v, file.errorString());
                    return std::nullopt;
                }
                o.transcript = QString::fromUtf8(file.readAll());
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else {
            o.positional << arg;
        }
    }
    return o;
}

std::int16_t toPcm(float s) { return std::int16_t(std::lround(std::clamp(s, -1.f, 1.f) * 32767.f)); }

struct FoundPhones {
    TimedSpeech speech;
    QString how;  // for the script's comment
};

// Where the phones of a recording fall, by the mode the options ask for.
std::optional<FoundPhones> phonesOf(const Recording& recording, const Options& o, QString* error)
{
    if (!o.transcript) {
        const auto& voices = EngineThread::of(EngineKind::Espeak).info().voices;
        if (o.voice < 0 || o.voice >= voices.size()) {
            *error = QStringLiteral("voice %1 is not in eSpeak NG's list (0 to %2)").arg(o.voice).arg(voices.size() - 1);
            return std::nullopt;
        }
        auto found = phonesWithoutTranscript(recording, isEnglishVoice(voices[o.voice].id), error);
        if (!found)
            return std::nullopt;
        return FoundPhones{std::move(found->speech), found->how};
    }
    auto speech = alignTranscript(recording, *o.transcript, o.voice, error);
    if (!speech)
        return std::nullopt;
    const QString voice = EngineThread::of(EngineKind::Espeak).info().voices[o.voice].name;
    return FoundPhones{std::move(*speech),
                       QStringLiteral("the phones of its transcript, spoken by eSpeak NG (%1) and aligned to it").arg(voice)};
}

int writeScript(const QString& base, SpeechScript script, const QByteArray& wav)
{
    script.audioFile = QFileInfo(base).fileName() + QStringLiteral(".wav");
    QString error;
    if ((!wav.isNull() && !saveFile(base + QStringLiteral(".wav"), wav, &error)) ||
        !saveFile(base + QStringLiteral(".qvs"), scriptText(script).toUtf8(), &error))
        return fail(1, error);
    std::printf("%s.wav: %lld ms; %s.qvs written with %zu mouth cues\n", qPrintable(base),
                static_cast<long long>(script.lengthMs), qPrintable(base), script.cues.size());
    return 0;
}

int recordingMode(const Options& o)
{
    if (o.positional.size() != 1 || o.flite)
        return fail(2, QString::fromLatin1(kUsage).trimmed());
    const QString base = o.positional[0];
    QString error;
    const auto recording = readRecording(o.audio, kAnalysisRate, &error);
    if (!recording)
        return fail(1, error);
    const auto found = phonesOf(*recording, o, &error);
    if (!found)
        return fail(1, error);
    const TimedSpeech& timed = found->speech;
    std::printf("%s: the mouth follows %s\n", qPrintable(o.audio), qPrintable(found->how));

    std::vector<std::int16_t> pcm(recording->samples.size());
    std::transform(recording->samples.begin(), recording->samples.end(), pcm.begin(), toPcm);
    SpeechScript script;
    script.title = o.transcript.value_or(QFileInfo(o.audio).completeBaseName());
    script.source = QStringLiteral("A recorded voice; the mouth follows %1.").arg(found->how);
    script.lengthMs = std::int64_t(recording->samples.size()) * 1000 / recording->rate;
    script.rate = timed.rate;
    script.cues = mouthCues(pcm, timed.rate, timed.phones, foundPhoneTiming());

    // The sound goes beside the script as it is, unless it is there already.
    QByteArray wav;
    if (QFileInfo(o.audio).canonicalFilePath() != QFileInfo(base + QStringLiteral(".wav")).canonicalFilePath()) {
        QFile file(o.audio);
        if (!file.open(QIODevice::ReadOnly))
            return fail(1, QStringLiteral("cannot read %1: %2").arg(o.audio, file.errorString()));
        wav = file.readAll();
    }
    return writeScript(base, script, wav);
}

int textMode(const Options& o)
{
    if (o.positional.size() != 2 || o.positional[1].trimmed().isEmpty() || o.transcript)
        return fail(2, QString::fromLatin1(kUsage).trimmed());
    const EngineKind kind = o.flite ? EngineKind::Flite : EngineKind::Espeak;
    const auto& info = EngineThread::of(kind).info();
    if (o.voice < 0 || o.voice >= info.voices.size())
        return fail(2, QStringLiteral("voice %1 is not in 0 to %2").arg(o.voice).arg(info.voices.size() - 1));
    const QString& text = o.positional[1];
    const Synthesis spoken = synthesize(kind, o.voice, text);

    SpeechScript script;
    script.title = text;
    script.source = QStringLiteral("Spoken by %1; the mouth follows its phones.").arg(info.voices[o.voice].name);
    script.lengthMs = std::int64_t(spoken.samples.size()) * 1000 / spoken.rate;
    script.rate = spoken.rate;
    script.cues = mouthCues(spoken.samples, spoken.rate, spoken.phones, phoneTimingOf(kind));
    return writeScript(o.positional[0], script, wavBytes(spoken.samples, spoken.rate));
}

int listVoices(const Options& o)
{
    if (!o.positional.isEmpty() || !o.audio.isEmpty() || o.transcript)
        return fail(2, QString::fromLatin1(kUsage).trimmed());
    const auto& voices = EngineThread::of(o.flite ? EngineKind::Flite : EngineKind::Espeak).info().voices;
    for (int i = 0; i < voices.size(); ++i)
        std::printf("%d\t%s\t%s\n", i, voices[i].id.constData(), qPrintable(voices[i].name));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString error;
    const auto options = parse(app.arguments().mid(1), &error);
    if (!options)
        return fail(2, error + QLatin1Char('\n') + QString::fromLatin1(kUsage).trimmed());
    if (options->listVoices)
        return listVoices(*options);
    return options->audio.isEmpty() ? textMode(*options) : recordingMode(*options);
}
