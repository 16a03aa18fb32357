#include "components/speech/flite_engine.h"

#include "components/speech/quiet_start.h"
#include "components/speech/sentence_pieces.h"
#include "components/speech/viseme_tables.h"

extern "C" {
#include <flite/cst_cg.h>
#include <flite/flite.h>
// Debian's voice libraries come without headers.
cst_voice* register_cmu_us_slt(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_kal(const char* voxdir);
}

#include <algorithm>
#include <cmath>

namespace vizmo::speech {

namespace {

struct FliteVoice {
    const char* name;
    const char* id;
    cst_voice* (*registerVoice)(const char*);
};

// Ordered as the voice list shows them; the first is selected after an engine change.
const FliteVoice kVoices[] = {
    {"SLT (US English, female)", "slt", register_cmu_us_slt},
    {"RMS (US English, male)", "rms", register_cmu_us_rms},
    {"AWB (Scottish English, male)", "awb", register_cmu_us_awb},
    {"KAL16 (US English, male, diphone)", "kal16", register_cmu_us_kal16},
    {"KAL (US English, male, diphone, 8 kHz)", "kal", register_cmu_us_kal},
};

// One piece of text on its way through Flite's streaming callback.
struct Job {
    SynthesisSink* sink = nullptr;
    const TextPiece* piece = nullptr;
    std::int64_t offset = 0;   // samples of the text before this piece
    std::int64_t written = 0;  // samples of this piece delivered so far
    int sampleRate = 16000;
    bool marksSent = false;
};

// The statistical voices produce an utterance's sound only once it is complete,
// so the first piece is kept short.
constexpr int kFirstPieceLength = 60;

std::int64_t secondsToSample(float seconds, int rate) { return std::int64_t(std::lround(double(seconds) * rate)); }

float segmentStart(const cst_item* segment)
{
    const cst_item* previous = item_prev(segment);
    return previous ? item_feat_float(previous, "end") : 0.f;
}

// The phones and words of the utterance, known before its first sound.
void collectMarks(const cst_utterance* utt, Job& job, SpeechChunk& chunk)
{
    for (const cst_item* s = relation_head(utt_relation(utt, "Segment")); s; s = item_next(s)) {
        const QByteArray name(item_feat_string(s, "name"));
        const int stress = QByteArray(ffeature_string(s, "R:SylStructure.parent.stress")) == "1" ? 1 : 0;
        const std::int64_t start = std::max<std::int64_t>(0, job.offset + secondsToSample(segmentStart(s), job.sampleRate));
        chunk.phones.push_back({start, flitePhoneViseme(name), name, stress});
    }
    // Tokens are found in the piece in order; a token may stand for several
    // words ("42"), and its time is that of its first phone.
    int cursor = 0;
    for (const cst_item* token = relation_head(utt_relation(utt, "Token")); token; token = item_next(token)) {
        const QString name = QString::fromUtf8(item_feat_string(token, "name"));
        const int at = name.isEmpty() ? -1 : int(job.piece->text.indexOf(name, cursor, Qt::CaseInsensitive));
        if (at < 0)
            continue;
        cursor = at + int(name.size());
        const cst_item* word = item_daughter(token);
        const cst_item* syllable = word ? item_daughter(item_as(word, "SylStructure")) : nullptr;
        const cst_item* segment = syllable ? item_as(item_daughter(syllable), "Segment") : nullptr;
        if (!segment)
            continue;
        chunk.words.push_back({job.offset + secondsToSample(segmentStart(segment), job.sampleRate),
                               job.piece->start + at, int(name.size())});
    }
}

int onAudio(const cst_wave* wave, int start, int size, int, cst_audio_streaming_info* info)
{
    auto* job = static_cast<Job*>(info->userdata);
    SpeechChunk chunk;
    if (!job->marksSent && info->utt) {
        collectMarks(info->utt, *job, chunk);
        job->marksSent = true;
    }
    job->written += size;
    if (size > 0)
        chunk.samples.assign(wave->samples + start, wave->samples + start + size);
    job->sink->deliver(std::move(chunk));
    return job->sink->cancelled() ? CST_AUDIO_STREAM_STOP : CST_AUDIO_STREAM_CONT;
}

}  // namespace

FliteEngine::FliteEngine()
{
    flite_init();
    for (const FliteVoice& v : kVoices) {
        cst_voice* voice = v.registerVoice(nullptr);
        if (!voice)
            continue;
        // The diphone voices take their pitch from a target mean and spread;
        // the statistical ones carry it in their models and ignore those.
        Voice loaded{voice, 16000, 0.f, 0.f};
        if (!feat_present(voice->features, "cg_db")) {
            loaded.meanF0 = get_param_float(voice->features, "int_f0_target_mean", 0.f);
            loaded.spreadF0 = get_param_float(voice->features, "int_f0_target_stddev", 0.f);
        } else {
            followPitchShift(voice);
        }
        // The rate is a property of the voice's data: learn it from a tiny synthesis.
        if (cst_wave* probe = flite_text_to_wave("a", voice)) {
            loaded.sampleRate = probe->sample_rate;
            delete_wave(probe);
        }
        loaded_.push_back(loaded);
        voices_.append({QString::fromLatin1(v.name), QByteArray(v.id)});
    }
}

FliteEngine::~FliteEngine() = default;

void FliteEngine::followPitchShift(cst_voice* voice)
{
    const cst_cg_db* db = val_cg_db(feat_val(voice->features, "cg_db"));
    if (!db || !db->spamf0)
        return;
    // rms draws its intonation from a separate accent model that ignores
    // f0_shift. Its database is read-only, so the voice gets a copy without
    // that model: the voice's own trees then give the pitch (7 % lower) and
    // follow the shift.
    auto copy = std::make_unique<cst_cg_db>(*db);
    copy->spamf0 = 0;
    copy->freeable = 0;
    feat_set(voice->features, "cg_db", cg_db_val(copy.get()));
    pitchFollowers_.push_back(std::move(copy));
}

int FliteEngine::sampleRate(int voiceIndex) const
{
    if (voiceIndex < 0 || voiceIndex >= int(loaded_.size()))
        return 16000;
    return loaded_[std::size_t(voiceIndex)].sampleRate;
}

double FliteEngine::durationStretch(int speed) { return std::exp2((50 - std::clamp(speed, 0, 100)) / 50.0); }

void FliteEngine::synthesize(const QString& text, const SpeechSettings& settings, SynthesisSink& sink)
{
    if (loaded_.empty())
        return;
    const Voice& v = loaded_[std::size_t(std::clamp(settings.voiceIndex, 0, int(loaded_.size()) - 1))];
    feat_set_float(v.voice->features, "duration_stretch", float(durationStretch(settings.speed)));
    // Diphone voices follow their target mean, the statistical voices scale
    // their own contour by f0_shift: one or the other, so the factor counts once.
    const float factor = float(pitchFactor(settings.pitch));
    if (v.meanF0 > 0) {
        feat_set_float(v.voice->features, "int_f0_target_mean", v.meanF0 * factor);
        feat_set_float(v.voice->features, "int_f0_target_stddev", v.spreadF0 * factor);
    } else {
        feat_set_float(v.voice->features, "f0_shift", factor);
    }

    QuietStartSink trimmed(sink, v.sampleRate);
    Job job{&trimmed, nullptr, 0, 0, v.sampleRate, false};
    cst_audio_streaming_info* info = new_audio_streaming_info();
    info->asc = onAudio;
    info->userdata = &job;
    feat_set(v.voice->features, "streaming_info", audio_streaming_info_val(info));  // the voice owns it now

    for (const TextPiece& piece : splitIntoSentences(text, 400, kFirstPieceLength)) {
        if (sink.cancelled())
            break;
        job.piece = &piece;
        job.marksSent = false;
        const QByteArray utf8 = piece.text.toUtf8();
        if (cst_utterance* utt = flite_synth_text(utf8.constData(), v.voice)) {
            if (!job.marksSent && !sink.cancelled()) {
                SpeechChunk marks;
                collectMarks(utt, job, marks);
                trimmed.deliver(std::move(marks));
            }
            delete_utterance(utt);
        }
        job.offset += job.written;
        job.written = 0;
    }
    trimmed.flush();
    feat_remove(v.voice->features, "streaming_info");
}

}  // namespace vizmo::speech
