// listen_stimulus LANGUAGE KIND OUTPUT [GAP_MS]
//
// A person saying syllables in a row, for the listening meter
// (bench/speech/listen_av_sync.sh): the consonant-vowel syllables of
// LANGUAGE from Debian's klettres-data, each cut to its sound, GAP_MS
// (default 80, about a stop's closure) apart. Writes OUTPUT.wav (mono,
// 16-bit, 44.1 kHz) and OUTPUT.marks, one line a syllable: its name, and
// where its sound starts, its vowel starts and its sound ends, in ms.
//
// KIND: mixed    lips that close (b, m, p), touch the teeth (f, v) and
//                others (d, l, n, s, t), before every vowel
//       rounded  the same consonants before o and u
//       spread   the same consonants before i and e
#include "support/syllable_recordings.h"

#include <QCoreApplication>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int kRate = 44100;
const char* const kConsonants = "bmpfvdlnst";

QByteArray wavBytes(const std::vector<float>& samples, int rate)
{
    QByteArray out;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char((value >> (8 * i)) & 0xff));
    };
    const auto dataBytes = std::uint32_t(samples.size() * 2);
    out.append("RIFF");
    put(36 + dataBytes, 4);
    out.append("WAVEfmt ");
    put(16, 4), put(1, 2), put(1, 2), put(std::uint32_t(rate), 4), put(std::uint32_t(rate * 2), 4), put(2, 2),
        put(16, 2);
    out.append("data");
    put(dataBytes, 4);
    for (float s : samples)
        put(std::uint16_t(std::int16_t(std::lround(std::clamp(s, -1.f, 1.f) * 32767))), 2);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: listen_stimulus LANGUAGE mixed|rounded|spread OUTPUT [GAP_MS]\n");
        return 2;
    }
    const QString& language = args[0];
    const QString& kind = args[1];
    const QString vowels = kind == QLatin1String("rounded") ? QStringLiteral("ou")
                           : kind == QLatin1String("spread") ? QStringLiteral("ie")
                                                             : QStringLiteral("aeiou");
    const QStringList names = vizmo::testing::syllablesOf(language, QString::fromLatin1(kConsonants), vowels);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no syllables of %s in %s\n", qPrintable(language),
                     qPrintable(vizmo::testing::syllableFolder(language)));
        return 1;
    }
    const int gapMs = args.size() > 3 ? args[3].toInt() : 80;
    const auto stream = vizmo::testing::joinSyllables(language, names, kRate, gapMs);
    if (!stream) {
        std::fprintf(stderr, "the syllables of %s cannot be read\n", qPrintable(language));
        return 1;
    }
    QFile wav(args[2] + QStringLiteral(".wav")), marks(args[2] + QStringLiteral(".marks"));
    if (!wav.open(QIODevice::WriteOnly) || !marks.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s cannot be written\n", qPrintable(args[2]));
        return 1;
    }
    wav.write(wavBytes(stream->samples, kRate));
    const auto ms = [](long sample) { return QByteArray::number(double(sample) * 1000.0 / kRate, 'f', 1); };
    for (const auto& m : stream->marks)
        marks.write(m.name.toUtf8() + ' ' + ms(m.start) + ' ' + ms(m.vowel) + ' ' + ms(m.end) + '\n');
    std::printf("%s: %lld syllables, %.1f s\n", qPrintable(args[2]), static_cast<long long>(names.size()),
                double(stream->samples.size()) / kRate);
    return 0;
}
