// How well a recording's phones are found from its transcript: Flite speaks
// each sentence (its phone and word times are known), that sound is taken
// as the recording, and eSpeak NG's rendition of the transcript is aligned
// to it. Prints the median and 90th percentile of the phone-boundary and
// word-start errors, beside those of stretching eSpeak NG's timing evenly
// to the recording's length, and the alignment's time.
//   alignment_bench [--verbose]
// With --languages the recording is eSpeak NG in another language, as
// another speaker would say it: a woman's variant (+f3) at 140 words a
// minute with its pitch raised, against the language's own voice at its
// usual 175 that the tool aligns; the sentences are the languages' own from
// tests/speech/language_sentences.tsv. Both sides' stops are marked at their
// closures, as the tool marks them.
//   alignment_bench --languages [--verbose]
// With --recording a recording of a word or a sentence is aligned to its
// text through eSpeak NG's voice KEY and its phones are printed, beside where
// its sound is first loud (a tenth as strong as its loudest 10 ms): where a
// word's first vowel starts, when it starts with a vowel or a stop.
//   alignment_bench --recording FILE.wav --text TEXT --voice KEY
#include "boundary_comparison.h"

#include "components/speech/engine_thread.h"
#include "tools/make_speech_script/transcript_alignment.h"

#include "tools/make_speech_script/recording.h"
#include "tools/make_speech_script/stop_closures.h"

#include <QCoreApplication>
#include <QFile>

#include <chrono>
#include <cstdio>

using namespace vizmo::speech;

namespace {

const char* const kSentences[] = {
    "The quick brown fox jumps over the lazy dog.",
    "Please call Stella and ask her to bring these things with her from the store.",
    "She sells sea shells by the sea shore, and the shells she sells are surely sea shells.",
    "How much wood would a woodchuck chuck if a woodchuck could chuck wood?",
    "My mother owns a small yellow boat on the lake.",
    "Twelve people arrived at nine thirty, then left at once.",
    "Why are you whispering? Nobody is listening to us.",
    "A rainbow appears when sunlight passes through drops of water in the air.",
    "Good morning! I would like a cup of coffee, two eggs and some toast, please.",
    "The museum will be closed on Monday because of the national holiday.",
};

struct Totals {
    BoundaryErrors aligned, stretched;
    int referencePhones = 0;
    double alignSeconds = 0, audioSeconds = 0;
};

void add(BoundaryErrors& to, const BoundaryErrors& from)
{
    to.phoneMs.insert(to.phoneMs.end(), from.phoneMs.begin(), from.phoneMs.end());
    to.stop.insert(to.stop.end(), from.stop.begin(), from.stop.end());
    to.nasalOpen.insert(to.nasalOpen.end(), from.nasalOpen.begin(), from.nasalOpen.end());
    to.wordMs.insert(to.wordMs.end(), from.wordMs.begin(), from.wordMs.end());
    to.referencePhones += from.referencePhones;
}

void add(Totals& to, const Totals& from)
{
    add(to.aligned, from.aligned);
    add(to.stretched, from.stretched);
    to.alignSeconds += from.alignSeconds;
    to.audioSeconds += from.audioSeconds;
}

double mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / double(v.size());
}

void print(const char* label, const Totals& t)
{
    auto line = [](const char* what, const std::vector<double>& ms) {
        std::printf("    %-24s n=%4zu  median %5.1f ms  p90 %6.1f ms  mean signed %+6.1f ms\n", what, ms.size(),
                    quantileOfAbs(ms, 0.5), quantileOfAbs(ms, 0.9), mean(ms));
    };
    std::printf("%s (%d sounding phones known, %zu paired)\n", label, t.aligned.referencePhones,
                t.aligned.phoneMs.size());
    line("phones, aligned", t.aligned.phoneMs);
    line("phones, stretched", t.stretched.phoneMs);
    std::vector<double> st, ns;
    for (std::size_t i = 0; i < t.aligned.phoneMs.size(); ++i)
        (t.aligned.stop[i] ? st : ns).push_back(t.aligned.phoneMs[i]);
    // Stops apart: eSpeak NG marks them at the burst, Flite at the closure,
    // which the alignment finds in the rendition (stop_closures.h).
    line("  of them stops", st);
    line("  of them the rest", ns);
    std::vector<double> nv;
    for (std::size_t i = 0; i < t.aligned.phoneMs.size(); ++i)
        if (t.aligned.nasalOpen[i])
            nv.push_back(t.aligned.phoneMs[i]);
    line("  vowels after a nasal", nv);
    line("word starts, aligned", t.aligned.wordMs);
    line("word starts, stretched", t.stretched.wordMs);
    std::printf("    alignment %.3f s for %.1f s of sound (%.4f of real time)\n", t.alignSeconds, t.audioSeconds,
                t.alignSeconds / t.audioSeconds);
}

std::vector<float> toFloat(const std::vector<std::int16_t>& samples)
{
    std::vector<float> out;
    for (std::int16_t s : samples)
        out.push_back(float(s) / 32768.f);
    return out;
}

Recording asRecording(const Synthesis& spoken)
{
    Recording recording;
    recording.samples = resample(toFloat(spoken.samples), spoken.rate, kAnalysisRate);
    recording.rate = kAnalysisRate;
    return recording;
}

// The index of the engine's voice `id` in its list, or -1.
int voiceIndex(EngineKind engine, const char* id)
{
    const auto& voices = EngineThread::of(engine).info().voices;
    int index = -1;
    for (int i = 0; i < voices.size(); ++i) {
        if (voices[i].id == id)
            index = i;
    }
    return index;
}

// `text` said by eSpeak NG's voice `voice`, aligned to the recording (timed)
// and only stretched to it: how far each falls from the known boundaries
// goes to `totals`; the aligned one's is returned, with the rendition's length.
struct AlignedText {
    BoundaryErrors errors;
    double renditionSeconds = 0;
};
AlignedText alignText(Totals& totals, int voice, const QString& text, const TimedSpeech& known,
                         const Recording& recording)
{
    const auto started = std::chrono::steady_clock::now();
    const Synthesis rendition = synthesize(EngineKind::Espeak, voice, text);
    const TimedSpeech aligned = alignSynthesis(rendition, recording);
    totals.alignSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    totals.audioSeconds += double(recording.samples.size()) / recording.rate;

    const BoundaryErrors a = compareBoundaries(known, aligned);
    add(totals.aligned, a);
    add(totals.stretched, compareBoundaries(known, stretchSynthesis(rendition, recording)));
    return {a, double(rendition.samples.size()) / rendition.rate};
}

// The languages other than English whose recordings are made and aligned.
const char* const kLanguages[] = {"roa/fr", "gmw/de", "roa/es", "roa/it", "zle/ru", "inc/hi", "jpx/ja", "trk/tr"};

int languages(bool verbose)
{
    QFile file(QStringLiteral(LANGUAGE_SENTENCES));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", LANGUAGE_SENTENCES);
        return 1;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    Totals all;
    for (const char* language : kLanguages) {
        const int voice = voiceIndex(EngineKind::Espeak, language);
        if (voice < 0)
            continue;
        // 140 words a minute (Speed 34), pitch 1.23 times the voice's own (Pitch 80).
        const SpeechSettings speaker{voice, 80, 34, QByteArray(language) + "+f3"};
        Totals totals;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            if (line.startsWith('#') || fields.size() != 3 || fields[0] != language)
                continue;
            const QString text = QString::fromUtf8(fields[2]);
            const Synthesis spoken = synthesize(EngineKind::Espeak, speaker, text);
            const TimedSpeech known{fromClosures(spoken.phones, spoken.samples, spoken.rate), spoken.words, spoken.rate};
            const Recording recording = asRecording(spoken);

            const auto [a, renditionSeconds] = alignText(totals, voice, text, known, recording);
            if (verbose)
                std::printf("%s | %s\n  recording %.2f s, rendition %.2f s; phones median %.1f p90 %.1f\n", language,
                            fields[2].constData(), double(spoken.samples.size()) / spoken.rate,
                            renditionSeconds, quantileOfAbs(a.phoneMs, 0.5),
                            quantileOfAbs(a.phoneMs, 0.9));
        }
        print(language, totals);
        add(all, totals);
    }
    print("all languages", all);
    return 0;
}

int alignOne(const QStringList& args)
{
    auto value = [&](const char* option) {
        const auto at = args.indexOf(QLatin1String(option));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    QString error;
    const auto recording = readRecording(value("--recording"), kAnalysisRate, &error);
    if (!recording) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const auto& voices = EngineThread::of(EngineKind::Espeak).info().voices;
    int voice = 0;
    for (int i = 0; i < voices.size(); ++i) {
        if (voices[i].id == value("--voice").toUtf8())
            voice = i;
    }
    const auto found = alignTranscript(*recording, value("--text"), voice, &error);
    if (!found) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const std::size_t window = std::size_t(recording->rate / 100);
    std::vector<double> power;
    for (std::size_t at = 0; at + window <= recording->samples.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i)
            sum += double(recording->samples[i]) * recording->samples[i];
        power.push_back(sum / double(window));
    }
    const double loudest = power.empty() ? 0 : *std::max_element(power.begin(), power.end());
    const auto loud = std::find_if(power.begin(), power.end(), [&](double p) { return p >= 0.1 * loudest; });
    std::printf("loud from %.0f ms;", double(loud - power.begin()) * 10.0);
    for (const PhoneMark& p : found->phones)
        std::printf(" %s%s@%.0f", p.phone.constData(), p.sound.isVowel() ? "(vowel)" : "",
                    double(p.startSample) * 1000.0 / found->rate);
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool verbose = app.arguments().contains(QStringLiteral("--verbose"));
    if (app.arguments().contains(QStringLiteral("--languages")))
        return languages(verbose);
    if (app.arguments().contains(QStringLiteral("--recording")))
        return alignOne(app.arguments());
    Totals all;
    for (const char* id : {"slt", "rms", "awb"}) {
        const int voice = voiceIndex(EngineKind::Flite, id);
        if (voice < 0)
            continue;
        Totals totals;
        for (const char* sentence : kSentences) {
            const QString text = QString::fromUtf8(sentence);
            const Synthesis spoken = synthesize(EngineKind::Flite, voice, text);
            const TimedSpeech known{spoken.phones, spoken.words, spoken.rate};
            const Recording recording = asRecording(spoken);

            const BoundaryErrors a = alignText(totals, 0, text, known, recording).errors;
            if (verbose) {
                std::printf("%s | %s\n  phones median %.1f p90 %.1f; words:", id, sentence, quantileOfAbs(a.phoneMs, 0.5),
                            quantileOfAbs(a.phoneMs, 0.9));
                for (double w : a.wordMs)
                    std::printf(" %+.0f", w);
                std::printf("\n");
            }
        }
        print(id, totals);
        add(all, totals);
    }
    print("all voices", all);
    return 0;
}
