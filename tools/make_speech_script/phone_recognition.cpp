#include "tools/make_speech_script/phone_recognition.h"

#include "components/speech/viseme_tables.h"

#include <QDir>
#include <QFile>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vizmo::speech {

namespace {

constexpr int kRate = 16000;       // the acoustic model's
constexpr int kFrameSamples = 160; // 10 ms frames

struct DecoderDeleter {
    void operator()(ps_decoder_t* d) const { ps_free(d); }
};
struct ConfigDeleter {
    void operator()(cmd_ln_t* c) const { cmd_ln_free_r(c); }
};

// What is wrong with the model in `folder`, or nothing. The library ends the
// process on a model it cannot read, so the files are looked at first: each
// must be there and begin as its format does. A file damaged further in is
// not caught.
QString modelProblem(const QString& folder)
{
    struct File { const char* name; QList<QByteArray> starts; };
    const File files[] = {
        {"en-us/mdef", {"BMDF", "0.3"}},
        {"en-us/means", {"s3\n"}},
        {"en-us/variances", {"s3\n"}},
        {"en-us/transition_matrices", {"s3\n"}},
        {"en-us/noisedict", {}},
        {"en-us/feat.params", {}},
        {"en-us-phone.lm.bin", {"Trie Language Model", "Darpa Trigram LM", "\\data\\"}},
    };
    const QDir dir(folder);
    for (const File& f : files) {
        QFile file(dir.filePath(QLatin1String(f.name)));
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("no English phone model in %1 (%2 is missing): install pocketsphinx-en-us or set "
                                  "VIZMO_PHONE_MODEL to its folder")
                .arg(folder, QLatin1String(f.name));
        const QByteArray head = file.read(32);
        const bool known = f.starts.isEmpty() ||
            std::any_of(f.starts.begin(), f.starts.end(), [&](const QByteArray& s) { return head.startsWith(s); });
        if (!known)
            return QStringLiteral("the English phone model in %1 is damaged (%2 is not in its format)")
                .arg(folder, QLatin1String(f.name));
    }
    return {};
}

// Fillers (silence, breath, noise, "+SPN+"...) are all a closed mouth.
QByteArray phoneName(const char* word)
{
    QByteArray name = QByteArray(word).toLower();
    if (name.isEmpty() || name == "sil" || name.startsWith('+') || name.startsWith('<'))
        return "pau";
    return name;
}

std::vector<std::int16_t> toPcm(const std::vector<float>& samples)
{
    std::vector<std::int16_t> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(),
                   [](float v) { return std::int16_t(std::lround(std::clamp(v, -1.f, 1.f) * 32767.f)); });
    return pcm;
}

// Which 10 ms frames are loud: within 30 dB of the loudest part of the
// recording (its 95th percentile), so breaths and room noise do not count.
std::vector<bool> loudFrames(const std::vector<std::int16_t>& pcm)
{
    const std::size_t frames = pcm.size() / kFrameSamples;
    std::vector<double> energy(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        double sum = 0;
        for (std::size_t i = 0; i < kFrameSamples; ++i)
            sum += double(pcm[f * kFrameSamples + i]) * pcm[f * kFrameSamples + i];
        energy[f] = sum / kFrameSamples;
    }
    std::vector<double> sorted = energy;
    std::vector<bool> loud(frames, false);
    if (frames == 0)
        return loud;
    const auto at = sorted.begin() + std::ptrdiff_t(frames * 95 / 100);
    std::nth_element(sorted.begin(), at, sorted.end());
    const double threshold = std::max(*at * 1e-3, 100.0);  // -30 dB, and never digital silence
    for (std::size_t f = 0; f < frames; ++f)
        loud[f] = energy[f] > threshold;
    return loud;
}

}  // namespace

QString phoneModelFolder()
{
    const QString env = qEnvironmentVariable("VIZMO_PHONE_MODEL");
    return env.isEmpty() ? QStringLiteral("/usr/share/pocketsphinx/model/en-us") : env;
}

std::optional<RecognisedPhones> recognisePhones(const Recording& recording, QString* error, const QString& modelFolder)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (const QString problem = modelProblem(modelFolder); !problem.isEmpty())
        return fail(problem);
    if (recording.rate <= 0)
        return fail(QStringLiteral("the recording has no sample rate"));

    // The library logs to stderr from its first call on, before any -logfn.
    err_set_logfp(nullptr);
    const QDir dir(modelFolder);
    const QByteArray hmmPath = QFile::encodeName(dir.filePath(QStringLiteral("en-us")));
    const QByteArray lmPath = QFile::encodeName(dir.filePath(QStringLiteral("en-us-phone.lm.bin")));
    // The phone loop of context-independent phones: with context-dependent
    // ones it finds about as many phones right but takes over twice real
    // time. Wide beams, as narrow ones lose whole stretches of speech; a
    // language weight of 1 lets the sound, not the phone statistics, decide.
    // Dither (seeded, so runs agree): in digital silence the features are
    // the log of nothing, and a phone grows into it.
    std::unique_ptr<cmd_ln_t, ConfigDeleter> config(
        cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmmPath.constData(), "-allphone", lmPath.constData(),
                    "-allphone_ci", "yes", "-backtrace", "yes", "-dither", "yes", "-seed", "1", "-beam", "1e-20",
                    "-pbeam", "1e-20", "-lw", "1.0", "-logfn", "/dev/null", nullptr));
    if (!config)
        return fail(QStringLiteral("the phone recogniser rejected its settings"));
    std::unique_ptr<ps_decoder_t, DecoderDeleter> decoder(ps_init(config.get()));
    if (!decoder)
        return fail(QStringLiteral("the English phone model in %1 cannot be loaded").arg(modelFolder));

    const std::vector<std::int16_t> pcm = toPcm(resample(recording.samples, recording.rate, kRate));
    if (ps_start_utt(decoder.get()) < 0 || ps_process_raw(decoder.get(), pcm.data(), pcm.size(), FALSE, TRUE) < 0 ||
        ps_end_utt(decoder.get()) < 0)
        return fail(QStringLiteral("the phone recogniser failed on the recording"));

    RecognisedPhones out;
    const std::vector<bool> loud = loudFrames(pcm);
    std::size_t loudCount = 0, loudSpeech = 0;
    double speechScore = 0;
    std::size_t speechFrames = 0;
    const double toRate = double(recording.rate) / kRate;
    for (ps_seg_t* seg = ps_seg_iter(decoder.get()); seg; seg = ps_seg_next(seg)) {
        int first = 0, last = 0;
        ps_seg_frames(seg, &first, &last);
        const QByteArray name = phoneName(ps_seg_word(seg));
        const bool speech = name != "pau";
        for (int f = std::max(first, 0); f <= last && std::size_t(f) < loud.size(); ++f) {
            loudCount += loud[std::size_t(f)];
            loudSpeech += loud[std::size_t(f)] && speech;
        }
        if (speech) {
            int32 acoustic = 0, language = 0, back = 0;
            ps_seg_prob(seg, &acoustic, &language, &back);
            speechScore += acoustic;
            speechFrames += std::size_t(last - first + 1);
        }
        // A change between two frames lies between their centres.
        const double frame = out.phones.empty() ? 0.0 : double(first) + 0.5;
        const std::int64_t start = std::int64_t(std::llround(frame * kFrameSamples * toRate));
        if (!out.phones.empty() && out.phones.back().phone == name)
            continue;  // two silences in a row are one
        out.phones.push_back(flitePhone(start, name));
    }
    // The search keeps its last phone list until the next utterance and does
    // not free it with the decoder: an empty utterance clears it.
    ps_start_utt(decoder.get());
    ps_end_utt(decoder.get());
    out.speechShare = loudCount ? double(loudSpeech) / double(loudCount) : 0;
    // The acoustic score is a log likelihood against the best-matching
    // phone state of each frame, in steps of about 0.1 nat: 0 is a perfect
    // match. Flite's English voices score -7 to -12 a frame, eSpeak NG's
    // voices in any language -16 to -21.
    const double perFrame = speechFrames ? speechScore / double(speechFrames) : -100;
    out.match = 1.0 / (1.0 + std::exp((-perFrame - 15.0) / 2.0));
    out.quality = out.speechShare * out.match;
    return out;
}

}  // namespace vizmo::speech
