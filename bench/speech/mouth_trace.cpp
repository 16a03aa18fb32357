// mouth_trace [OPTIONS] (--sentences FILE | VOICE TEXT)
//
// The outside meter's figures without a display: a sentence is spoken by an
// engine, its phones go through the lip-sync rules and the player's spring,
// each frame's face is drawn as the player draws it (60 frames a second, 256
// pixels, the meter's mouth region), and the region's mean difference from
// the resting face is correlated with the sound's loudness over lags of
// +-300 ms, as bench/speech/av_sync_measure does with a capture. What the
// screen and the sound server add is left out: the lead found here is about
// 30 ms below the meter's, the correlation up to 0.07 above it.
// It answers in a second what the meter answers in a minute, which is how a
// rule is tried on every language before the meter confirms it.
//
// VOICE is an eSpeak NG voice key (roa/fr), or "flite" for Flite's first voice.
// Options:
//   --sentences FILE  the "sample" lines of tests/speech/language_sentences.tsv
//   --only KEYS       with --sentences, only these voices (comma-separated)
//   --model F.qvm     the face to draw (the program shows content/qvm/anna.qvm first)
//   --phones          each phone: where it is heard (ms), its name, shape and
//                     table weight, the weight its cue asks for, how loud it
//                     is against the loudest vowel (dB) and how far the drawn
//                     mouth is from rest while it is heard (at --at MS, or the
//                     lead found): the phones that pull the correlation down
//   --cues            the cues: heard, due, shape, weight, settle time
//   --lags            the correlation every 20 ms of lag
//   --series FILE     the mouth and the loudness frame by frame, and the phones' marks
#include "components/player/content/face_model.h"
#include "components/player/drawing/face_renderer.h"
#include "components/player/motion/mouth_easer.h"
#include "components/speech/lip_sync.h"
#include "components/speech/viseme_tables.h"
#include "bench/speech/loudness_correlation.h"
#include "components/viseme_timing.h"
#include "tools/make_speech_script/synthesis.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

using namespace vizmo;
using namespace vizmo::speech;

namespace {

// The player's size in the window and the meter's mouth region in it (bench/speech/av_capture.sh).
constexpr int kPlayerSide = 256;
const QRect kMouthRegion(96, 130, 80, 56);
constexpr int kFrameMs = 1000 / 60;

struct Options {
    bool phones = false, cues = false, lags = false;
    QString series;
    std::optional<int> atMs;
};

// A spoken text with the meter's views of its time and loudness.
struct Spoken : Synthesis {
    double ms(std::int64_t sample) const { return double(sample) * 1000 / rate; }
    double lengthMs() const { return ms(std::int64_t(samples.size())); }
    // Loudness around `atMs`: RMS over 30 ms, as the meter takes it.
    double rmsAt(double atMs) const { return bench::rmsAround(samples, rate, std::llround(atMs * rate / 1000)); }
};

EngineKind engineOf(const QByteArray& voice) { return voice == "flite" ? EngineKind::Flite : EngineKind::Espeak; }

Spoken speak(const QString& text, const QByteArray& voice)
{
    SpeechSettings settings;
    if (engineOf(voice) == EngineKind::Espeak)
        settings.voiceId = voice;
    return {synthesize(engineOf(voice), settings, text)};
}

// The mouth region of the face drawn with `mouth`, in grey.
QImage mouthRegion(const player::FaceModel& model, const player::MouthShape& mouth)
{
    QImage face(kPlayerSide, kPlayerSide, QImage::Format_RGB32);
    face.fill(Qt::white);
    QPainter painter(&face);
    player::FacePose pose;
    pose.mouth = mouth;
    player::drawFace(painter, QRectF(0, 0, kPlayerSide, kPlayerSide), model, pose);
    painter.end();
    return face.copy(kMouthRegion).convertToFormat(QImage::Format_Grayscale8);
}

double difference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(int(p[x]) - int(q[x]));
    }
    return sum / double(a.width() * a.height());
}

// Frame by frame, how far the drawn mouth is from rest: each cue is taken
// kPresentationMs after it is due and eased by the player's spring.
std::vector<double> seenMouth(const player::FaceModel& model, const Spoken& s, const std::vector<VisemeCue>& cues)
{
    const QImage rest = mouthRegion(model, {});
    player::MouthEaser easer;
    std::vector<double> seen;
    std::size_t next = 0;
    for (int t = 0; t < int(s.lengthMs()) + 200; t += kFrameMs) {
        for (; next < cues.size() && s.ms(cues[next].dueSample) + viseme_timing::kPresentationMs <= t; ++next) {
            const VisemeCue& c = cues[next];
            easer.setTarget(player::visemeShape(c.viseme, c.weight / 255.0),
                            s.ms(c.dueSample) + viseme_timing::kPresentationMs, c.blendMs);
        }
        seen.push_back(difference(mouthRegion(model, easer.at(t)), rest));
    }
    return seen;
}

struct Trace {
    double correlation = -2;
    int leadMs = 0;
};

// The best correlation of the mouth with the loudness and its lag, over the
// frames from 100 ms before the first loud 10 ms to 200 ms after the last.
Trace correlate(const Spoken& s, const std::vector<double>& seen, bool printLags)
{
    double onset = -1, end = -1;
    for (double t = 0; t + 10 <= s.lengthMs(); t += 10) {
        if (s.rmsAt(t + 5) > 300) {
            if (onset < 0)
                onset = t;
            end = t;
        }
    }
    std::vector<double> mouth, at;
    for (std::size_t f = 0; f < seen.size(); ++f) {
        const double t = double(f) * kFrameMs;
        if (t >= onset - 100 && t <= end + 200)
            mouth.push_back(seen[f]), at.push_back(t);
    }
    Trace best;
    for (int lag = -300; lag <= 300; lag += 2) {
        std::vector<double> loudness;
        for (double t : at)
            loudness.push_back(s.rmsAt(t + lag));
        const double r = bench::pearson(mouth, loudness);
        if (printLags && lag % 20 == 0)
            std::printf("lag %+4d ms correlation %.3f\n", lag, r);
        if (r > best.correlation)
            best = {r, lag};
    }
    return best;
}

void printPhones(const Spoken& s, const std::vector<VisemeCue>& cues, const std::vector<double>& seen, int atMs)
{
    double loudest = 1;
    for (std::size_t i = 0; i + 1 < s.phones.size(); ++i) {
        if (s.phones[i].sound.isVowel())
            for (double t = s.ms(s.phones[i].startSample); t < s.ms(s.phones[i + 1].startSample); t += 5)
                loudest = std::max(loudest, s.rmsAt(t));
    }
    std::printf("%7s %-10s %-4s %5s %4s %6s %6s\n", "ms", "phone", "vis", "table", "cue", "dB", "seen");
    for (std::size_t i = 0; i < s.phones.size(); ++i) {
        const PhoneMark& p = s.phones[i];
        const double from = s.ms(p.startSample);
        const double to = i + 1 < s.phones.size() ? s.ms(s.phones[i + 1].startSample) : s.lengthMs();
        double power = 0, shown = 0;
        int n = 0, frames = 0;
        for (double t = from; t < to; t += 5, ++n)
            power += s.rmsAt(t) * s.rmsAt(t);
        for (std::size_t f = 0; f < seen.size(); ++f) {
            const double t = double(f) * kFrameMs + atMs;
            if (t >= from && t < to)
                shown += seen[f], ++frames;
        }
        QString cueWeight = QStringLiteral("-");
        for (const VisemeCue& c : cues) {
            if (s.ms(c.startSample) >= from - 30 && s.ms(c.startSample) < to && c.viseme == p.viseme)
                cueWeight = QString::number(c.weight);
        }
        const double db = n && power > 0 ? 10 * std::log10(power / n / (loudest * loudest)) : -99;
        std::printf("%7.0f %-10s %-4s %5.2f %4s %6.1f %6.1f\n", from, p.phone.isEmpty() ? "(none)" : p.phone.constData(),
                    qPrintable(visemeName(p.viseme)), p.shapeWeight, qPrintable(cueWeight), db,
                    frames ? shown / frames : 0.0);
    }
}

void writeSeries(const QString& path, const Spoken& s, const std::vector<double>& seen)
{
    FILE* out = std::fopen(qPrintable(path), "w");
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(path));
        return;
    }
    for (std::size_t f = 0; f < seen.size(); ++f)
        std::fprintf(out, "%d %.3f %.1f\n", int(f) * kFrameMs, seen[f], s.rmsAt(double(f) * kFrameMs));
    for (const PhoneMark& p : s.phones)
        std::fprintf(out, "# %.0f %s\n", s.ms(p.startSample), p.phone.constData());
    std::fclose(out);
}

Trace measure(const player::FaceModel& model, const QString& text, const QByteArray& voice, const Options& options)
{
    const Spoken s = speak(text, voice);
    LipSync sync(s.rate, phoneTimingOf(engineOf(voice)));
    sync.addSound(s.samples);
    sync.addPhones(s.phones);
    sync.finish(std::int64_t(s.samples.size()));
    const std::vector<VisemeCue> cues = sync.takeAll();
    const std::vector<double> seen = seenMouth(model, s, cues);
    const Trace best = correlate(s, seen, options.lags);
    if (options.cues) {
        for (const VisemeCue& c : cues)
            std::printf("cue heard %7.0f due %7.0f %-3s %3d settle %d ms\n", s.ms(c.startSample), s.ms(c.dueSample),
                        qPrintable(visemeName(c.viseme)), c.weight, c.blendMs);
    }
    if (options.phones)
        printPhones(s, cues, seen, options.atMs.value_or(best.leadMs));
    if (!options.series.isEmpty())
        writeSeries(options.series, s, seen);
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    auto value = [&](const QString& name) -> std::optional<QString> {
        const qsizetype at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size())
            return std::nullopt;
        const QString found = args.at(at + 1);
        args.remove(at, 2);
        return found;
    };
    auto flag = [&](const QString& name) { return args.removeAll(name) > 0; };
    Options options;
    options.phones = flag(QStringLiteral("--phones"));
    options.cues = flag(QStringLiteral("--cues"));
    options.lags = flag(QStringLiteral("--lags"));
    options.series = value(QStringLiteral("--series")).value_or(QString());
    if (const auto at = value(QStringLiteral("--at")))
        options.atMs = at->toInt();
    const auto modelPath = value(QStringLiteral("--model"));
    const auto sentences = value(QStringLiteral("--sentences"));
    const QStringList only = value(QStringLiteral("--only")).value_or(QString()).split(u',', Qt::SkipEmptyParts);
    if (!sentences && args.size() != 2) {
        std::fprintf(stderr, "usage: mouth_trace [--phones] [--cues] [--lags] [--series FILE] [--at MS] "
                             "[--model F.qvm] [--only KEYS] (--sentences FILE | VOICE TEXT)\n");
        return 2;
    }
    player::FaceModel model = player::defaultFaceModel();
    if (modelPath) {
        auto loaded = player::loadFaceModel(*modelPath);
        if (!loaded.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(loaded.error().description));
            return 1;
        }
        model = loaded.value();
    }

    std::vector<std::pair<QByteArray, QString>> texts;
    if (sentences) {
        QFile file(*sentences);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: cannot be read\n", qPrintable(*sentences));
            return 1;
        }
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 3 && !line.startsWith('#') && fields[1] == "sample" &&
                (only.isEmpty() || only.contains(QString::fromUtf8(fields[0]))))
                texts.emplace_back(fields[0], QString::fromUtf8(fields[2]));
        }
    } else {
        texts.emplace_back(args[0].toUtf8(), args[1]);
    }
    int high = 0, low = 0;
    for (const auto& [voice, text] : texts) {
        const Trace t = measure(model, text, voice, options);
        high += t.correlation >= 0.5;
        low += t.correlation < 0.4;
        std::printf("%-12s correlation %.2f lead %+4d ms\n", voice.constData(), t.correlation, t.leadMs);
        std::fflush(stdout);
    }
    if (texts.size() > 1)
        std::printf("%d of %zu at correlation >= 0.5; %d below 0.4\n", high, texts.size(), low);
    return 0;
}
