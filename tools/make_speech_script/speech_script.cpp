#include "tools/make_speech_script/speech_script.h"

#include "components/speech/viseme_tables.h"

#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <algorithm>

namespace vizmo::speech {

std::vector<VisemeCue> mouthCues(const std::vector<std::int16_t>& samples, int rate,
                                 const std::vector<PhoneMark>& phones, PhoneTiming timing)
{
    LipSync sync(rate, timing);
    sync.addSound(samples);
    sync.addPhones(phones);
    sync.finish(std::int64_t(samples.size()));
    return sync.takeAll();
}

QString scriptText(const SpeechScript& script)
{
    QString text;
    QTextStream qvs(&text);
    const std::int64_t lengthMs = std::max<std::int64_t>(1, script.lengthMs);
    qvs << "QVS 1\n";
    qvs << "title " << script.title.simplified().left(60) << "\n";
    qvs << "length " << lengthMs << "\n";
    qvs << "audio " << script.audioFile << "\n";
    qvs << "# " << script.source << "\n";
    qvs << "expr 0 smile 0.3\n";
    qvs << "expr " << lengthMs << " smile 0.5\n";
    for (const VisemeCue& cue : script.cues) {
        const std::int64_t ms = std::clamp<std::int64_t>(cue.startSample * 1000 / script.rate, 0, lengthMs);
        qvs << "viseme " << ms << ' ' << visemeName(cue.viseme);
        if (cue.weight < 255)
            qvs << ' ' << QString::number(cue.weight / 255.0, 'f', 2);
        qvs << "\n";
    }
    qvs.flush();
    return text;
}

bool saveFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QByteArray wavBytes(const std::vector<std::int16_t>& samples, int rate)
{
    const quint32 dataBytes = quint32(samples.size() * sizeof(std::int16_t));
    QByteArray out;
    auto u32 = [&](quint32 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](quint16 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char*>(&v), 2); };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(quint32(rate));
    u32(quint32(rate) * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(dataBytes);
    for (std::int16_t s : samples)
        u16(quint16(s));
    return out;
}

}  // namespace vizmo::speech
