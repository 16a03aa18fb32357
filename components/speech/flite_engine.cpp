#include "components/speech/flite_engine.h"

#include "components/speech/quiet_start.h"
#include "components/speech/sentence_pieces.h"
#include "components/speech/utterance_cut.h"
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
#include <optional>

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

// One utterance on its way through Flite's streaming callback.
struct Job {
    SynthesisSink* sink = nullptr;  // for cancelled(): the output goes through `cut`
    UtteranceCut* cut = nullptr;
    const TextPiece* piece = nullptr;
    int splitAt = -1;  // head and tail: where the word spliced in starts in the piece
    int sampleRate = 16000;
    bool marksSent = false;
};

// The statistical voices produce an utterance's sound only once it is complete,
// so the first piece is kept short.
constexpr int kFirstPieceLength = 60;

// A first piece longer than this starts with its first words said on their
// own, several times sooner, joined to the whole piece in the closure of a
// p, t or k that begins the second or third word: the head ends with that
// word. Cutting the piece itself there instead gives the first words a
// sentence's end (in "Peter Piper" alone, "Piper" 90 ms longer and 16 Hz
// lower, and 390 ms of pause); the words before the stop are said alike.
constexpr int kHeadLongerThan = 24;

struct Head {
    TextPiece piece;
    int splitAt = -1;
};

std::optional<Head> headOf(const TextPiece& piece)
{
    const QString& text = piece.text;
    if (text.size() <= kHeadLongerThan)
        return std::nullopt;
    std::vector<int> wordStarts;
    for (int i = 0; i < text.size(); ++i) {
        if (!text.at(i).isSpace() && (i == 0 || text.at(i - 1).isSpace()))
            wordStarts.push_back(i);
    }
    // Spelt as a p, t or k sound, as far as two letters tell; the phone decides.
    auto voicelessStop = [&text](int at) {
        const QChar first = text.at(at).toLower();
        const QChar second = at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
        if (first == u'c')
            return !QStringLiteral("eiyh").contains(second);
        return (first == u'p' || first == u't' || first == u'k') && !QStringLiteral("hns").contains(second);
    };
    // The head ends with the word spliced in, before the piece does.
    for (std::size_t word = 1; word <= 2 && word + 1 < wordStarts.size(); ++word) {
        if (voicelessStop(wordStarts[word]))
            return Head{{piece.start, text.left(wordStarts[word + 1])}, wordStarts[word]};
    }
    return std::nullopt;
}

std::int64_t secondsToSample(float seconds, int rate) { return std::int64_t(std::lround(double(seconds) * rate)); }

float segmentStart(const cst_item* segment)
{
    const cst_item* previous = item_prev(segment);
    return previous ? item_feat_float(previous, "end") : 0.f;
}

// Calls `found(at, length, firstSegment)` for the tokens of the utterance, found
// in the piece in order; a token may stand for several words ("42").
template <typename Found>
void forEachToken(const cst_utterance* utt, const TextPiece& piece, Found found)
{
    int cursor = 0;
    for (const cst_item* token = relation_head(utt_relation(utt, "Token")); token; token = item_next(token)) {
        const QString name = QString::fromUtf8(item_feat_string(token, "name"));
        const int at = name.isEmpty() ? -1 : int(piece.text.indexOf(name, cursor, Qt::CaseInsensitive));
        if (at < 0)
            continue;
        cursor = at + int(name.size());
        const cst_item* word = item_daughter(token);
        const cst_item* syllable = word ? item_daughter(item_as(word, "SylStructure")) : nullptr;
        if (const cst_item* segment = syllable ? item_as(item_daughter(syllable), "Segment") : nullptr)
            found(at, int(name.size()), segment);
    }
}

// The phones and words of the utterance, in its own samples, known before its first sound.
void collectMarks(const cst_utterance* utt, const Job& job, SpeechChunk& chunk)
{
    for (const cst_item* s = relation_head(utt_relation(utt, "Segment")); s; s = item_next(s)) {
        const QByteArray name(item_feat_string(s, "name"));
        const int stress = QByteArray(ffeature_string(s, "R:SylStructure.parent.stress")) == "1" ? 1 : 0;
        chunk.phones.push_back(flitePhone(secondsToSample(segmentStart(s), job.sampleRate), name, stress));
    }
    forEachToken(utt, *job.piece, [&](int at, int length, const cst_item* segment) {
        chunk.words.push_back({secondsToSample(segmentStart(segment), job.sampleRate), job.piece->start + at, length});
    });
}

// Where a head or a tail is cut: in the first phone of the word spliced in,
// which in a head must be a voiceless stop, its closure near silence (the
// tail, the same words, has the same phone there).
void findClosure(const cst_utterance* utt, const Job& job)
{
    forEachToken(utt, *job.piece, [&](int at, int, const cst_item* segment) {
        if (at != job.splitAt)
            return;
        const QByteArray name(item_feat_string(segment, "name"));
        if (job.cut->part() == UtteranceCut::Part::Head && name != "p" && name != "t" && name != "k")
            return;  // the head is not used
        job.cut->setClosure(secondsToSample(segmentStart(segment), job.sampleRate),
                            secondsToSample(item_feat_float(segment, "end"), job.sampleRate));
    });
}

void sendMarks(const cst_utterance* utt, Job& job)
{
    SpeechChunk marks;
    collectMarks(utt, job, marks);
    if (job.splitAt >= 0)
        findClosure(utt, job);
    job.cut->addMarks(std::move(marks.phones), std::move(marks.words));
    job.marksSent = true;
}

int onAudio(const cst_wave* wave, int start, int size, int, cst_audio_streaming_info* info)
{
    auto* job = static_cast<Job*>(info->userdata);
    if (!job->marksSent && info->utt)
        sendMarks(info->utt, *job);
    job->cut->addSamples(wave->samples + start, size);
    return job->cut->done() || job->sink->cancelled() ? CST_AUDIO_STREAM_STOP : CST_AUDIO_STREAM_CONT;
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
    Job job;
    cst_audio_streaming_info* info = new_audio_streaming_info();
    info->asc = onAudio;
    info->userdata = &job;
    feat_set(v.voice->features, "streaming_info", audio_streaming_info_val(info));  // the voice owns it now

    // Says `piece` and passes on the `part` of it that `splitAt` gives; returns
    // the samples passed on, or -1 when a head could not be cut.
    std::int64_t offset = 0;
    auto say = [&](const TextPiece& piece, UtteranceCut::Part part, int splitAt) {
        if (sink.cancelled())
            return std::int64_t(-1);
        UtteranceCut cut(trimmed, part, v.sampleRate, offset);
        job = Job{&trimmed, &cut, &piece, splitAt, v.sampleRate, false};
        const QByteArray utf8 = piece.text.toUtf8();
        if (cst_utterance* utt = flite_synth_text(utf8.constData(), v.voice)) {
            if (!job.marksSent && !sink.cancelled())
                sendMarks(utt, job);
            delete_utterance(utt);
        }
        if (part == UtteranceCut::Part::Head && !cut.spliced())
            return std::int64_t(-1);
        offset += cut.passed();
        return cut.passed();
    };
    const std::vector<TextPiece> pieces = splitIntoSentences(text, 400, kFirstPieceLength);
    const bool statistical = v.meanF0 <= 0;  // the diphone voices stream from their first phone: no head
    for (std::size_t i = 0; i < pieces.size() && !sink.cancelled(); ++i) {
        const std::optional<Head> head = i == 0 && statistical ? headOf(pieces[i]) : std::nullopt;
        if (head && say(head->piece, UtteranceCut::Part::Head, head->splitAt) >= 0)
            say(pieces[i], UtteranceCut::Part::Tail, head->splitAt);
        else
            say(pieces[i], UtteranceCut::Part::Whole, -1);
    }
    trimmed.flush();
    feat_remove(v.voice->features, "streaming_info");
}

}  // namespace vizmo::speech
