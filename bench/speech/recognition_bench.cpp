// How well the phones of a voice are found without its text. Flite speaks
// varied English sentences and its own phone marks are the truth (a phone
// ends where the next starts). The recognised phones and Flite's are mapped
// to broad classes and paired by an edit-distance alignment (a pair: the
// same class, overlapping in time); the starts of paired phones are
// compared. Prints per voice: the share of reference phones paired, the
// phone error rate, the median and 90th percentile of the
// boundary error, its mean sign, the share of 10 ms frames whose mouth shape
// agrees, and the recogniser's own quality figure; then the same for the
// mouth shapes taken from the sound alone, in the classes it can tell
// (silence, vowel, consonant); then the speed on a minute of speech, and the
// quality figure on speech it was not made for. Two voices are heard again
// with white noise added.
//
// recognition_bench [--list] [--quick] [--shapes-only] [--confusion]
//   --list prints every sentence's phones; --quick: two voices, five sentences;
//   --shapes-only: the shapes from the sound alone, without the recogniser
//   (in seconds, to try a rule); --confusion: under each voice's shapes from
//   the sound, its vowel frames by their true shape and the shape heard
#include "components/player_control.h"
#include "components/speech/engine_thread.h"
#include "tools/make_speech_script/phone_recognition.h"
#include "tools/make_speech_script/sound_shape_phones.h"

#include "boundary_comparison.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <future>
#include <map>

using namespace vizmo::speech;

namespace {

constexpr int kRate = 16000;

const char* const kSentences[] = {
    "The quick brown fox jumps over the lazy dog.",
    "Please call Stella and ask her to bring these things with her from the store.",
    "We were away a year ago, when the weather was warm.",
    "My mother bought seven blue umbrellas in Boston.",
    "She sells sea shells by the sea shore.",
    "How much wood would a woodchuck chuck if a woodchuck could chuck wood?",
    "Thank you for waiting. Your call is important to us.",
    "Bob paid for the big map, but the pump broke twice.",
    "I think the theatre opens at nine thirty on Thursday evening.",
    "Look at the moon! Isn't it beautiful tonight?",
};

struct Spoken {
    std::vector<float> samples;  // at kRate
    std::vector<PhoneMark> phones;
};

Spoken speak(EngineKind kind, int voice, const QString& text)
{
    auto promise = std::make_shared<std::promise<Spoken>>();
    auto result = promise->get_future();
    EngineThread::of(kind).post([promise, voice, text](SpeechEngine& engine) {
        struct Sink : SynthesisSink {
            std::vector<std::int16_t> samples;
            std::vector<PhoneMark> phones;
            bool cancelled() const override { return false; }
            void deliver(SpeechChunk&& c) override
            {
                samples.insert(samples.end(), c.samples.begin(), c.samples.end());
                phones.insert(phones.end(), c.phones.begin(), c.phones.end());
            }
        } sink;
        engine.synthesize(text, {voice, 50, 50}, sink);
        const int rate = engine.sampleRate(voice);
        std::vector<float> mono(sink.samples.size());
        std::transform(sink.samples.begin(), sink.samples.end(), mono.begin(),
                       [](std::int16_t v) { return v / 32768.f; });
        Spoken out{resample(mono, rate, kRate), std::move(sink.phones)};
        for (PhoneMark& p : out.phones)
            p.startSample = p.startSample * kRate / rate;
        promise->set_value(std::move(out));
    });
    return result.get();
}

// Broad classes, the level at which phones are paired.
enum Class { Silence, Vowel, Stop, Fricative, Nasal, Approximant };

Class classOf(const QByteArray& p)
{
    static const std::map<QByteArray, Class> table = {
        {"p", Stop},         {"b", Stop},         {"t", Stop},         {"d", Stop},          {"k", Stop},
        {"g", Stop},         {"dx", Stop},        {"ch", Fricative},   {"jh", Fricative},    {"f", Fricative},
        {"v", Fricative},    {"th", Fricative},   {"dh", Fricative},   {"s", Fricative},     {"z", Fricative},
        {"sh", Fricative},   {"zh", Fricative},   {"hh", Fricative},   {"m", Nasal},         {"n", Nasal},
        {"ng", Nasal},       {"em", Nasal},       {"en", Nasal},       {"l", Approximant},   {"el", Approximant},
        {"r", Approximant},  {"w", Approximant},  {"y", Approximant},  {"pau", Silence},     {"h#", Silence},
    };
    const auto it = table.find(p);
    return it == table.end() ? Vowel : it->second;
}

// What the shapes from sound can tell: silence, vowel, consonant.
int soundClass(const QByteArray& p)
{
    const Class c = classOf(p);
    return c == Silence ? 0 : c == Vowel ? 1 : 2;
}

// Flite's phones the recogniser's model has no name for.
QByteArray commonName(const QByteArray& p)
{
    static const std::map<QByteArray, QByteArray> table = {
        {"ax", "ah"}, {"dx", "t"}, {"em", "m"}, {"en", "n"}, {"el", "l"}, {"h#", "pau"}};
    const auto it = table.find(p);
    return it == table.end() ? p : it->second;
}

struct Segment {
    std::int64_t start = 0, end = 0;
    int label = 0;     // what is paired on
    QByteArray phone;  // for the phone error rate
    int viseme = 0;
};

// Phones as segments, labelled by `label`; neighbours with the same label
// are joined (`byPhone`: only when they are the same phone too).
template<typename Label>
std::vector<Segment> segments(const std::vector<PhoneMark>& phones, std::int64_t end, Label label, bool byPhone = false)
{
    std::vector<Segment> out;
    for (std::size_t i = 0; i < phones.size(); ++i) {
        const Segment s{phones[i].startSample, i + 1 < phones.size() ? phones[i + 1].startSample : end,
                        label(commonName(phones[i].phone)), commonName(phones[i].phone), phones[i].viseme};
        if (s.end <= s.start)
            continue;
        if (!out.empty() && out.back().label == s.label && (!byPhone || out.back().phone == s.phone))
            out.back().end = s.end;
        else
            out.push_back(s);
    }
    return out;
}

// Edit-distance alignment; pairs (i, j) that `same` accepts.
struct Alignment {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    int edits = 0;
};

template<typename Same>
Alignment align(const std::vector<Segment>& ref, const std::vector<Segment>& hyp, Same same)
{
    const std::size_t n = ref.size(), m = hyp.size();
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        cost[i][0] = int(i);
    for (std::size_t j = 0; j <= m; ++j)
        cost[0][j] = int(j);
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j)
            cost[i][j] = std::min({cost[i - 1][j] + 1, cost[i][j - 1] + 1,
                                   cost[i - 1][j - 1] + (same(ref[i - 1], hyp[j - 1]) ? 0 : 1)});
    }
    Alignment out{{}, cost[n][m]};
    for (std::size_t i = n, j = m; i > 0 && j > 0;) {
        if (cost[i][j] == cost[i - 1][j - 1] + (same(ref[i - 1], hyp[j - 1]) ? 0 : 1)) {
            if (same(ref[i - 1], hyp[j - 1]))
                out.pairs.emplace_back(i - 1, j - 1);
            --i, --j;
        } else if (cost[i][j] == cost[i - 1][j] + 1) {
            --i;
        } else {
            --j;
        }
    }
    std::reverse(out.pairs.begin(), out.pairs.end());
    return out;
}

struct Tally {
    std::vector<double> errorsMs;  // signed, hyp - ref, of paired starts
    std::size_t refCount = 0, paired = 0;
    int phoneEdits = 0;
    std::size_t refPhoneCount = 0;
    std::size_t frames = 0, framesAgreeing = 0;
    std::size_t vowelFrames = 0, vowelsAgreeing = 0;  // both say vowel: the same shape?
    std::map<std::pair<int, int>, std::size_t> vowelShapes;  // (true, heard) viseme: frames
    std::vector<double> qualities;

    // `ref` and `hyp` are paired; the frames are compared phone by phone
    // (`refPhones`, `hypPhones`: the same phones, not joined by class).
    void add(const std::vector<Segment>& ref, const std::vector<Segment>& hyp, const std::vector<Segment>& refPhones,
             const std::vector<Segment>& hypPhones, bool countPhones)
    {
        // Paired: the same class, overlapping in time.
        const Alignment a = align(ref, hyp, [](const Segment& r, const Segment& h) {
            return r.label == h.label && h.start < r.end && r.start < h.end;
        });
        refCount += ref.size();
        paired += a.pairs.size();
        for (auto [i, j] : a.pairs) {
            if (i == 0)
                continue;  // the start of the recording is no boundary
            errorsMs.push_back(double(hyp[j].start - ref[i].start) * 1000.0 / kRate);
        }
        if (countPhones) {
            auto spoken = [](const std::vector<Segment>& all) {
                std::vector<Segment> out;
                std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                             [](const Segment& s) { return s.phone != "pau"; });
                return out;
            };
            const std::vector<Segment> refSpeech = spoken(ref), hypSpeech = spoken(hyp);
            auto samePhone = [](const Segment& r, const Segment& h) { return r.phone == h.phone; };
            phoneEdits += align(refSpeech, hypSpeech, samePhone).edits;
            refPhoneCount += refSpeech.size();
        }
        // Frame by frame, whether both say the same shape (or class).
        const std::int64_t end = std::min(refPhones.back().end, hypPhones.back().end);
        std::size_t i = 0, j = 0;
        for (std::int64_t at = 80; at < end; at += 160) {
            while (i + 1 < refPhones.size() && refPhones[i].end <= at)
                ++i;
            while (j + 1 < hypPhones.size() && hypPhones[j].end <= at)
                ++j;
            ++frames;
            framesAgreeing += countPhones ? refPhones[i].viseme == hypPhones[j].viseme
                                          : soundClass(refPhones[i].phone) == soundClass(hypPhones[j].phone);
            if (classOf(refPhones[i].phone) == Vowel && classOf(hypPhones[j].phone) == Vowel) {
                ++vowelFrames;
                vowelsAgreeing += refPhones[i].viseme == hypPhones[j].viseme;
                ++vowelShapes[{refPhones[i].viseme, hypPhones[j].viseme}];
            }
        }
    }
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// The frames both call a vowel, by their true mouth shape (a row) and the
// one found (a column); any other shape is counted under "other".
void printVowelShapes(const Tally& t)
{
    namespace v = vizmo::player::viseme;
    const int shapes[] = {v::aa, v::E, v::ih, v::oh, v::ou};
    const char* const names[] = {"aa", "E", "ih", "oh", "ou"};
    std::printf("    %-10s", "true\\found");
    for (const char* name : names)
        std::printf(" %6s", name);
    std::printf(" %6s\n", "other");
    for (std::size_t row = 0; row < std::size(shapes); ++row) {
        std::size_t other = 0;
        for (const auto& [pair, frames] : t.vowelShapes)
            other += pair.first == shapes[row] && std::find(std::begin(shapes), std::end(shapes), pair.second) == std::end(shapes) ? frames : 0;
        std::printf("    %-10s", names[row]);
        for (int found : shapes) {
            const auto at = t.vowelShapes.find({shapes[row], found});
            std::printf(" %6zu", at == t.vowelShapes.end() ? std::size_t(0) : at->second);
        }
        std::printf(" %6zu\n", other);
    }
}

void printRow(const char* name, const Tally& t, bool phones)
{
    std::vector<double> absolute(t.errorsMs.size());
    std::transform(t.errorsMs.begin(), t.errorsMs.end(), absolute.begin(), [](double e) { return std::abs(e); });
    double mean = 0;
    for (double e : t.errorsMs)
        mean += e / double(std::max<std::size_t>(1, t.errorsMs.size()));
    std::printf("%-36s %7.0f%% ", name, 100.0 * double(t.paired) / double(std::max<std::size_t>(1, t.refCount)));
    if (phones)
        std::printf("%6.0f%% ", 100.0 * t.phoneEdits / double(std::max<std::size_t>(1, t.refPhoneCount)));
    else
        std::printf("%7s ", "-");
    std::printf("%8.1f %8.1f %+8.1f %7.0f%% %7.0f%%", percentile(absolute, 0.5), percentile(absolute, 0.9), mean,
                100.0 * double(t.framesAgreeing) / double(std::max<std::size_t>(1, t.frames)),
                100.0 * double(t.vowelsAgreeing) / double(std::max<std::size_t>(1, t.vowelFrames)));
    if (!t.qualities.empty())
        std::printf("  %.2f..%.2f", *std::min_element(t.qualities.begin(), t.qualities.end()),
                    *std::max_element(t.qualities.begin(), t.qualities.end()));
    std::printf("\n");
}

// White noise at `snrDb` under the speech's power (its frames within 30 dB of the loudest).
void addHiss(std::vector<float>& samples, double snrDb)
{
    double loudest = 0, power = 0;
    std::size_t frames = 0;
    std::vector<double> energy;
    for (std::size_t at = 0; at + 160 <= samples.size(); at += 160) {
        double sum = 0;
        for (std::size_t i = at; i < at + 160; ++i)
            sum += double(samples[i]) * samples[i];
        energy.push_back(sum / 160);
        loudest = std::max(loudest, energy.back());
    }
    for (double e : energy) {
        if (e > loudest * 1e-3) {
            power += e;
            ++frames;
        }
    }
    const double noiseRms = std::sqrt(power / double(std::max<std::size_t>(1, frames)) / std::pow(10.0, snrDb / 10));
    std::uint32_t seed = 12345;
    for (float& x : samples) {
        seed = seed * 1664525u + 1013904223u;
        x += float(noiseRms * std::sqrt(12.0) * (double(seed >> 8) / double(1u << 24) - 0.5));
    }
}

Recording recordingOf(const std::vector<float>& samples)
{
    return {samples, kRate, kRate, 1, std::int64_t(samples.size())};
}

void printPhones(const char* what, const std::vector<PhoneMark>& phones)
{
    std::printf("  %s:", what);
    for (const PhoneMark& p : phones)
        std::printf(" %s@%lld", p.phone.constData(), static_cast<long long>(p.startSample * 1000 / kRate));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool list = app.arguments().contains(QStringLiteral("--list"));
    const bool shapesOnly = app.arguments().contains(QStringLiteral("--shapes-only"));
    const bool confusion = app.arguments().contains(QStringLiteral("--confusion"));
    const int voiceCount = app.arguments().contains(QStringLiteral("--quick")) ? 2 : 4;
    const int sentenceCount = app.arguments().contains(QStringLiteral("--quick")) ? 5 : 10;
    QString error;
    if (!recognisePhones(recordingOf(std::vector<float>(kRate, 0.f)), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    std::printf("%-36s %8s %7s %8s %8s %8s %8s %8s  %s\n", "voice / method", "paired", "PER", "med ms", "p90 ms",
                "mean ms", "frames", "vowels", "quality");
    // The same voices again with room hiss, at a speech-to-noise ratio in dB.
    struct Voice { const char* name; int index; double snrDb; };
    const Voice voices[] = {{"slt", 0, 0},          {"rms", 1, 0},          {"awb", 2, 0},
                            {"kal16", 3, 0},        {"slt, hiss 20 dB", 0, 20}, {"rms, hiss 20 dB", 1, 20},
                            {"slt, hiss 10 dB", 0, 10}, {"rms, hiss 10 dB", 1, 10}};
    std::vector<float> minute;
    double minuteSeconds = 0;
    QStringList comparable;
    for (const auto& [voiceName, voice, snrDb] : voices) {
        if (voice >= voiceCount)
            continue;
        Tally phones, classesRecognised, classesSound;
        BoundaryErrors asAligned;  // counted as the transcript alignment's bench counts them
        for (int n = 0; n < sentenceCount; ++n) {
            const char* sentence = kSentences[n];
            Spoken s = speak(EngineKind::Flite, voice, QString::fromUtf8(sentence));
            if (snrDb > 0)
                addHiss(s.samples, snrDb);
            const std::int64_t end = std::int64_t(s.samples.size());
            const Recording rec = recordingOf(s.samples);
            const auto recognised = shapesOnly ? std::optional(RecognisedPhones{}) : recognisePhones(rec, &error);
            if (!recognised) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            const std::vector<PhoneMark> shapes = shapesFromSound(rec);
            if (list) {
                std::printf("%s: %s\n", voiceName, sentence);
                printPhones("flite", s.phones);
                if (!shapesOnly)
                    printPhones("heard", recognised->phones);
                printPhones("shape", shapes);
            }
            const auto ref3 = segments(s.phones, end, soundClass);
            const auto refPhones = segments(s.phones, end, classOf, true);
            classesSound.add(ref3, segments(shapes, end, soundClass), refPhones, segments(shapes, end, classOf, true),
                             false);
            if (shapesOnly)
                continue;
            phones.qualities.push_back(recognised->quality);
            const auto heardPhones = segments(recognised->phones, end, classOf, true);
            phones.add(refPhones, heardPhones, refPhones, heardPhones, true);
            const BoundaryErrors e = compareBoundaries({s.phones, {}, kRate}, {recognised->phones, {}, kRate});
            asAligned.phoneMs.insert(asAligned.phoneMs.end(), e.phoneMs.begin(), e.phoneMs.end());
            asAligned.referencePhones += e.referencePhones;
            classesRecognised.add(ref3, segments(recognised->phones, end, soundClass), refPhones, heardPhones, false);
            if (minuteSeconds < 60 && snrDb == 0) {
                minute.insert(minute.end(), s.samples.begin(), s.samples.end());
                minuteSeconds = double(minute.size()) / kRate;
            }
        }
        if (!shapesOnly) {
            printRow((QByteArray(voiceName) + " phones, recognised").constData(), phones, true);
            printRow((QByteArray(voiceName) + " 3 classes, recognised").constData(), classesRecognised, false);
        }
        printRow((QByteArray(voiceName) + " 3 classes, from sound").constData(), classesSound, false);
        if (confusion)
            printVowelShapes(classesSound);
        const double pairedShare = double(asAligned.phoneMs.size()) / std::max(1, asAligned.referencePhones);
        comparable.push_back(QStringLiteral("%1: %2% of sounding phones paired, median %3 ms, p90 %4 ms")
                                 .arg(QLatin1String(voiceName))
                                 .arg(100.0 * pairedShare, 0, 'f', 0)
                                 .arg(quantileOfAbs(asAligned.phoneMs, 0.5), 0, 'f', 1)
                                 .arg(quantileOfAbs(asAligned.phoneMs, 0.9), 0, 'f', 1));
    }
    std::printf("(paired: reference phones paired with one of the same class that overlaps it; PER: phone error "
                "rate, pauses left out; med/p90: absolute start error of paired phones; mean: its sign, + late; "
                "frames: 10 ms frames with the same mouth shape, or class; vowels: of the frames both call a vowel, "
                "those with the same shape)\n\n");
    if (shapesOnly)
        return 0;
    std::printf("Recognised phones as the transcript alignment's bench counts them (paired by class alone):\n");
    for (const QString& line : comparable)
        std::printf("  %s\n", qPrintable(line));
    std::printf("\n");

    for (const std::size_t once = minute.size(); !minute.empty() && minuteSeconds < 60;) {
        minute.insert(minute.end(), minute.begin(), minute.begin() + std::ptrdiff_t(once));
        minuteSeconds = double(minute.size()) / kRate;
    }
    const Recording long_ = recordingOf(minute);
    QElapsedTimer timer;
    timer.start();
    const auto recognised = recognisePhones(long_, &error);
    const double recogniseSeconds = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    const auto shapes = shapesFromSound(long_);
    const double shapesSeconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("speed on %.1f s of speech: recognition %.2f s (%.3f of real time, %zu phones, quality %.2f), "
                "shapes from sound %.3f s (%.4f of real time)\n\n",
                minuteSeconds, recogniseSeconds, recogniseSeconds / minuteSeconds,
                recognised ? recognised->phones.size() : 0,
                recognised ? recognised->quality : 0.0, shapesSeconds, shapesSeconds / minuteSeconds);

    // The quality figure where the recogniser is out of its depth.
    std::printf("%-34s %8s %8s %8s\n", "other sound", "quality", "speech", "match");
    const auto& espeakVoices = EngineThread::of(EngineKind::Espeak).info().voices;
    const std::pair<const char*, const char*> others[] = {
        {"en", "The quick brown fox jumps over the lazy dog."},
        {"de", "Der schnelle braune Fuchs springt über den faulen Hund."},
        {"fr", "Le vif renard brun saute par-dessus le chien paresseux."},
        {"es", "El veloz zorro marrón salta sobre el perro perezoso."},
        {"ja", "素早い茶色の狐がのろまな犬を飛び越える。"},
        {"fi", "Nopea ruskea kettu hyppää laiskan koiran yli."},
    };
    auto report = [](const QString& what, const std::optional<RecognisedPhones>& r) {
        std::printf("%-34s %8.2f %8.2f %8.2f\n", qPrintable(what), r ? r->quality : 0.0, r ? r->speechShare : 0.0,
                    r ? r->match : 0.0);
    };
    for (const auto& [language, text] : others) {
        int index = -1;
        for (int i = 0; i < espeakVoices.size() && index < 0; ++i) {
            if (espeakVoices[i].id.endsWith("/" + QByteArray(language)))
                index = i;
        }
        if (index < 0)
            continue;
        const Spoken s = speak(EngineKind::Espeak, index, QString::fromUtf8(text));
        report(QStringLiteral("eSpeak NG %1").arg(QLatin1String(language)),
               recognisePhones(recordingOf(s.samples), &error));
    }
    std::vector<float> noise(3 * kRate), tone(3 * kRate);
    std::uint32_t seed = 1;
    for (std::size_t i = 0; i < noise.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        noise[i] = 0.2f * (float(seed >> 8) / float(1u << 24) - 0.5f);
        tone[i] = 0.3f * float(std::sin(2 * 3.14159265 * 220.0 * double(i) / kRate) *
                               (0.6 + 0.4 * std::sin(2 * 3.14159265 * 3.0 * double(i) / kRate)));
    }
    report(QStringLiteral("white noise"), recognisePhones(recordingOf(noise), &error));
    report(QStringLiteral("humming tone, 3 Hz swell"), recognisePhones(recordingOf(tone), &error));
    return 0;
}
