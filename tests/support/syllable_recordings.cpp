#include "support/syllable_recordings.h"

#include <QDir>

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace vizmo::testing {

namespace {

// A syllable's sound is what comes within 35 dB of its loudest 10 ms; its
// vowel starts where it first comes within 6 dB.
constexpr double kSoundBelowPeakDb = 35;
constexpr double kVowelBelowPeakDb = 6;

std::optional<std::vector<float>> readMono(const QString& path, int rate)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return std::nullopt;
    std::vector<float> interleaved(std::size_t(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    std::vector<float> mono(static_cast<std::size_t>(read));
    for (std::size_t f = 0; f < mono.size(); ++f) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += interleaved[f * std::size_t(info.channels) + std::size_t(c)];
        mono[f] = sum / float(info.channels);
    }
    if (info.samplerate == rate)
        return mono;
    const double ratio = double(rate) / info.samplerate;
    std::vector<float> out(std::size_t(std::ceil(double(mono.size()) * ratio)) + 1);
    SRC_DATA data{};
    data.data_in = mono.data();
    data.input_frames = long(mono.size());
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0)
        return std::nullopt;
    out.resize(std::size_t(data.output_frames_gen));
    return out;
}

std::vector<double> tenMsLevels(const std::vector<float>& s, int rate)
{
    const std::size_t step = std::size_t(rate / 100);
    std::vector<double> db;
    for (std::size_t at = 0; at + step <= s.size(); at += step) {
        double sum = 0;
        for (std::size_t i = at; i < at + step; ++i)
            sum += double(s[i]) * s[i];
        db.push_back(10 * std::log10(sum / double(step) + 1e-12));
    }
    return db;
}

}  // namespace

QString syllableFolder(const QString& language)
{
    const QString root = qEnvironmentVariable("VIZMO_KLETTRES", QStringLiteral("/usr/share/klettres"));
    return QDir(root).filePath(language + QStringLiteral("/syllab"));
}

QStringList syllablesOf(const QString& language, const QString& consonants, const QString& vowels)
{
    QStringList out;
    const QDir folder(syllableFolder(language));
    for (const QChar c : consonants) {
        for (const QChar v : vowels) {
            const QString name = QString(c) + v;
            if (folder.exists(name + QStringLiteral(".ogg")))
                out << name;
        }
    }
    return out;
}

std::optional<SyllableStream> joinSyllables(const QString& language, const QStringList& names, int rate, int gapMs)
{
    SyllableStream out;
    out.rate = rate;
    const std::size_t gap = std::size_t(rate) * std::size_t(gapMs) / 1000, step = std::size_t(rate / 100);
    for (const QString& name : names) {
        const auto sound = readMono(QDir(syllableFolder(language)).filePath(name + QStringLiteral(".ogg")), rate);
        if (!sound || sound->empty())
            return std::nullopt;
        const std::vector<double> db = tenMsLevels(*sound, rate);
        if (db.empty())
            return std::nullopt;
        const double peak = *std::max_element(db.begin(), db.end());
        const auto loud = [&](double below) {
            return std::size_t(std::find_if(db.begin(), db.end(), [&](double d) { return d >= peak - below; }) - db.begin());
        };
        const std::size_t first = loud(kSoundBelowPeakDb), vowel = loud(kVowelBelowPeakDb);
        std::size_t last = db.size();
        while (last > first && db[last - 1] < peak - kSoundBelowPeakDb)
            --last;
        out.samples.insert(out.samples.end(), gap, 0.f);
        const long start = long(out.samples.size());
        out.samples.insert(out.samples.end(), sound->begin() + std::ptrdiff_t(first * step),
                           sound->begin() + std::ptrdiff_t(last * step));
        out.marks.push_back({name, start, start + long((vowel - first) * step), long(out.samples.size())});
    }
    out.samples.insert(out.samples.end(), gap, 0.f);
    return out;
}

}  // namespace vizmo::testing
