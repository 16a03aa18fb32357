// make_speech_script [--flite] [--voice N] <output path without extension> <text>
// Speaks <text> with one of the component's engines and writes <name>.wav
// (mono, 16-bit, the engine's rate) and <name>.qvs whose mouth track follows
// the speech with the same cue shaping the component uses live.
#include "components/speech/engine_thread.h"
#include "components/speech/lip_sync.h"
#include "components/speech/viseme_tables.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>
#include <future>

using namespace vizmo::speech;

namespace {

struct Collected {
    std::vector<std::int16_t> samples;
    std::vector<PhoneMark> phones;
    int rate = 22050;
};

Collected speak(EngineKind kind, int voice, const QString& text)
{
    struct Sink : SynthesisSink {
        Collected out;
        bool cancelled() const override { return false; }
        void deliver(SpeechChunk&& c) override
        {
            out.samples.insert(out.samples.end(), c.samples.begin(), c.samples.end());
            out.phones.insert(out.phones.end(), c.phones.begin(), c.phones.end());
        }
    };
    auto promise = std::make_shared<std::promise<Collected>>();
    auto result = promise->get_future();
    EngineThread::of(kind).post([promise, voice, text](SpeechEngine& engine) {
        Sink sink;
        engine.synthesize(text, {voice, 50, 50}, sink);
        sink.out.rate = engine.sampleRate(voice);
        promise->set_value(std::move(sink.out));
    });
    return result.get();
}

QByteArray wav(const Collected& c)
{
    const quint32 dataBytes = quint32(c.samples.size() * sizeof(std::int16_t));
    QByteArray out;
    auto u32 = [&](quint32 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](quint16 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char*>(&v), 2); };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(quint32(c.rate));
    u32(quint32(c.rate) * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(dataBytes);
    for (std::int16_t s : c.samples)
        u16(quint16(s));
    return out;
}

bool save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    EngineKind kind = EngineKind::Espeak;
    int voice = 0;
    if (args.value(0) == QLatin1String("--flite")) {
        kind = EngineKind::Flite;
        args.removeFirst();
    }
    if (args.value(0) == QLatin1String("--voice")) {
        voice = args.value(1).toInt();
        args = args.mid(2);
    }
    if (args.size() != 2 || args[1].trimmed().isEmpty()) {
        std::fprintf(stderr, "usage: make_speech_script [--flite] [--voice N] <output path without extension> <text>\n");
        return 2;
    }
    const int voices = int(EngineThread::of(kind).info().voices.size());
    if (voice < 0 || voice >= voices) {
        std::fprintf(stderr, "voice %d is not in 0 to %d\n", voice, voices - 1);
        return 2;
    }
    const QString base = args[0];
    const Collected c = speak(kind, voice, args[1]);
    const std::int64_t lengthMs = std::int64_t(c.samples.size()) * 1000 / c.rate;

    LipSync sync(c.rate, phoneTimingOf(kind));
    sync.addSound(c.samples);
    sync.addPhones(c.phones);
    sync.finish(std::int64_t(c.samples.size()));

    QString script;
    QTextStream qvs(&script);
    qvs << "QVS 1\n";
    qvs << "title " << args[1].simplified().left(60) << "\n";
    qvs << "length " << std::max<std::int64_t>(1, lengthMs) << "\n";
    qvs << "audio " << QFileInfo(base).fileName() << ".wav\n";
    qvs << "# Spoken by " << EngineThread::of(kind).info().voices[voice].name << "; the mouth follows its phones.\n";
    qvs << "expr 0 smile 0.3\n";
    qvs << "expr " << lengthMs << " smile 0.5\n";
    for (const VisemeCue& cue : sync.takeAll()) {
        const std::int64_t ms = std::min<std::int64_t>(cue.startSample * 1000 / c.rate, lengthMs);
        qvs << "viseme " << ms << ' ' << visemeName(cue.viseme);
        if (cue.weight < 255)
            qvs << ' ' << QString::number(cue.weight / 255.0, 'f', 2);
        qvs << "\n";
    }
    qvs.flush();
    if (!save(base + QStringLiteral(".wav"), wav(c)) || !save(base + QStringLiteral(".qvs"), script.toUtf8()))
        return 1;
    std::printf("%s.wav: %lld ms at %d Hz; %s.qvs written\n", qPrintable(base), static_cast<long long>(lengthMs), c.rate,
                qPrintable(base));
    return 0;
}
