#include "components/speech/lip_sync.h"

#include "components/player_control.h"
#include "components/viseme_timing.h"

#include <algorithm>

namespace vizmo::speech {

namespace v = player::viseme;
namespace timing = viseme_timing;

namespace {

enum class Kind { Pause, Vowel, LipContact, Rounded, Visible, Hidden };

// Silence shorter than this is a joint between words, not a rest.
constexpr int kPauseMs = 80;
// How far into its phone a vowel's sound may begin.
constexpr int kLatestOnsetMs = 60;
// Phones looked at past the one being planned: rounding looks two ahead, at
// phones whose ends are the moved marks of the phones after them.
constexpr std::size_t kLookahead = 4;
// How strongly a consonant shows that rounding is coming.
constexpr double kAnticipatedRounding = 0.6;
constexpr double kVisibleConsonant = 0.8;
// Hidden consonants this long, this much quieter than the loudest vowel, are
// a silence the jaw rises in: a stop's closure, a breathed h.
constexpr int kSilentRunMs = 60;
constexpr double kSilentShare = 0.25;
constexpr double kSilentBlend = 0.15;

// A trill or tap of the tongue's tip (Italian, Russian and Hindi r, the t
// of American "butter") holds the jaw up for its beats, between vowels whose
// sound it dips: it is seen, where the stops and nasals made in the same
// place are passed through.
bool beatsWithTheTip(const PhoneFeatures& sound)
{
    const bool tip = sound.place == Place::Dental || sound.place == Place::Alveolar ||
                     sound.place == Place::Postalveolar || sound.place == Place::Retroflex;
    return tip && (sound.manner == Manner::Trill || sound.manner == Manner::Tap);
}

// By the sound's features, which both engines' phones carry.
Kind kindOf(const PhoneMark& p, int durationMs)
{
    if (p.sound.isVowel() || (p.sound.syllabic && p.viseme >= v::aa))
        return Kind::Vowel;  // a syllabic consonant shown as a vowel is its syllable's nucleus
    switch (p.viseme) {
    case v::Silence: return durationMs >= kPauseMs ? Kind::Pause : Kind::Hidden;
    case v::PP: case v::FF: return Kind::LipContact;
    case v::ou: case v::oh: return Kind::Rounded;  // w, ɥ, a labialised consonant
    case v::DD: case v::kk: case v::nn: return beatsWithTheTip(p.sound) ? Kind::Visible : Kind::Hidden;
    default: return Kind::Visible;  // th, ch, sh, s, z, r, the glide j
    }
}

bool isRounded(const PhoneMark& p) { return p.viseme == v::oh || p.viseme == v::ou; }

// The weighting rule: a vowel opens as far as it is loud against the loudest
// vowel so far, stressed ones fully, unstressed ones less, schwas least, and
// short ones less than long ones; never less than half way.
constexpr double kLeastVowel = 0.5;

double stressOf(const PhoneMark& p) { return p.sound.reduced ? 0.7 : p.stress == 0 ? 0.85 : 1.0; }

double stressAndLength(const PhoneMark& p, int durationMs)
{
    const double length = std::clamp(0.7 + 0.3 * (durationMs - 50) / 70.0, 0.7, 1.0);
    return stressOf(p) * length;
}

}  // namespace

bool showsAsVowel(const PhoneMark& phone) { return kindOf(phone, kPauseMs) == Kind::Vowel; }

bool isStop(const PhoneMark& phone)
{
    // A tap is a stop's short closure (English "butter").
    const Manner manner = phone.sound.manner;
    return phone.sound.kind == PhoneKind::Consonant && (manner == Manner::Stop || manner == Manner::Tap) &&
           phone.sound.place != Place::Glottal;
}

PhoneTiming phoneTimingOf(EngineKind engine)
{
    // Measured on the engines' own sound: eSpeak NG marks a stop at its
    // burst, after the silence of its closure (30-40 ms), and Flite marks it
    // 20-25 ms before that silence begins. Seen from outside
    // (bench/speech/av_sync.sh, the head still), with every mark as the
    // engine gave it eSpeak NG's mouth led its sound by about 0..+10 ms and
    // Flite's by +30..+45 ms: the rest of each shift centres both on +20 ms.
    // Since (the 60 ms presentation, a text's sound 5 ms after its start) both
    // lead by +25..+40 ms, Flite's open text the most: Flite's marks move 5 ms
    // more, so that it stays under +40.
    return engine == EngineKind::Espeak ? PhoneTiming{-20, -20} : PhoneTiming{20, 20};
}

LipSync::LipSync(int sampleRate, PhoneTiming timing)
    : rate_(sampleRate > 0 ? sampleRate : 22050), timing_(timing), loudness_(rate_)
{
}

void LipSync::addSound(const std::vector<std::int16_t>& samples)
{
    if (end_)
        return;
    loudness_.add(samples);
    if (phones_.size() > kLookahead)
        plan(phones_.size() - kLookahead);
}

void LipSync::addPhones(const std::vector<PhoneMark>& phones)
{
    if (end_)
        return;
    for (const PhoneMark& phone : phones) {
        if (!phones_.empty() && phone.startSample < phones_.back().startSample)
            continue;  // out of order: never expected, never fatal
        phones_.push_back(phone);
    }
    if (phones_.size() > kLookahead)
        plan(phones_.size() - kLookahead);
}

void LipSync::finish(std::int64_t endSample)
{
    if (end_)
        return;
    end_ = std::max(endSample, phones_.empty() ? 0 : phones_.back().startSample);
    plan(phones_.size());
    addTarget({*end_, 0, v::Silence, 255, 0});
    if (open_) {
        release(timing::kRestSettleMs);
        open_.reset();
    }
}

std::int64_t LipSync::startOf(std::size_t i) const
{
    const std::int64_t mark = markOf(i);
    if (kindOf(phones_[i], kPauseMs) != Kind::Vowel)
        return mark;
    // A vowel is heard from where its sound rises: after a pause or a stop an
    // engine may mark it tens of milliseconds before that.
    const std::int64_t next = i + 1 < phones_.size() ? markOf(i + 1) : end_ ? std::max(mark, *end_) : mark;
    const std::int64_t latest = mark + std::min((next - mark) / 2, ms(kLatestOnsetMs));
    const double half = 0.5 * loudness_.rms(mark, next);
    const std::int64_t step = ms(5);
    for (std::int64_t at = mark; at < latest; at += step) {
        if (loudness_.rms(at, at + step) >= half)
            return at;
    }
    return latest;
}

std::int64_t LipSync::markOf(std::size_t i) const
{
    // Marks move within the middles of the phone before and of their own.
    const std::int64_t shift = ms(timing_.shiftMs);
    const std::int64_t mark = phones_[i].startSample + shift;
    const std::int64_t next = i + 1 < phones_.size() ? phones_[i + 1].startSample + shift : end_ ? *end_ : mark;
    const std::int64_t earliest = i > 0 ? (phones_[i - 1].startSample + shift + mark) / 2 : 0;
    const std::int64_t latest = std::max(mark, (mark + next) / 2);
    const std::int64_t moved = mark + (isStop(phones_[i]) ? ms(timing_.stopShiftMs) : 0);
    return std::max<std::int64_t>(0, std::clamp(moved, std::min(earliest, latest), latest));
}

std::int64_t LipSync::endOf(std::size_t i) const
{
    if (i + 1 < phones_.size())
        return startOf(i + 1);
    return std::max(startOf(i), end_ ? *end_ : phones_[i].startSample);
}

int LipSync::durationMs(std::size_t i) const { return int((endOf(i) - startOf(i)) * 1000 / rate_); }

void LipSync::plan(std::size_t upTo)
{
    for (; planned_ < upTo; ++planned_) {
        if (!end_ && phones_[std::min(planned_ + kLookahead, phones_.size() - 1)].startSample > loudness_.received())
            return;  // the sound that places it and the phones it looks at has not come yet
        if (kindOf(phones_[planned_], durationMs(planned_)) == Kind::Vowel)
            loudestVowel_ = std::max(loudestVowel_, loudness_.rms(startOf(planned_), endOf(planned_)));
        if (auto target = targetOf(planned_))
            addTarget(*target);
    }
}

double LipSync::relativeLoudness(std::size_t i) const
{
    const double rms = loudness_.rms(startOf(i), endOf(i));
    // Without its sound (none came) a vowel counts as loud as any.
    return loudestVowel_ > 0 && rms > 0 ? rms / loudestVowel_ : 1.0;
}

double LipSync::vowelWeight(std::size_t i) const
{
    const PhoneMark& p = phones_[i];
    return std::clamp(relativeLoudness(i) * stressAndLength(p, durationMs(i)) * p.shapeWeight, kLeastVowel, 1.0);
}

std::optional<VisemeCue> LipSync::targetOf(std::size_t i) const
{
    const PhoneMark& phone = phones_[i];
    auto kind = [this](std::size_t k) { return kindOf(phones_[k], durationMs(k)); };
    auto consonant = [&](std::size_t k) { return kind(k) != Kind::Vowel && kind(k) != Kind::Pause; };
    // Whether this consonant and at most one more lead up to a rounded phone.
    auto roundingAhead = [&](std::size_t k) {
        if (!consonant(k) || kind(k) == Kind::Rounded)
            return false;
        for (std::size_t j = k + 1; j < phones_.size() && j <= k + 2; ++j) {
            if (isRounded(phones_[j]))
                return true;
            if (!consonant(j))
                break;
        }
        return false;
    };

    // The run of hidden consonants around k; silent when it is a stop's
    // closure or a breath long enough for the jaw to rise in it.
    auto hiddenRun = [&](std::size_t k) {
        std::size_t first = k, last = k + 1;
        while (first > 0 && kind(first - 1) == Kind::Hidden && !roundingAhead(first - 1))
            --first;
        while (last < phones_.size() && last < k + kLookahead - 1 && kind(last) == Kind::Hidden && !roundingAhead(last))
            ++last;
        return std::pair{first, last};
    };
    auto silent = [&](std::pair<std::size_t, std::size_t> run) {
        const std::int64_t from = startOf(run.first), to = endOf(run.second - 1);
        return to - from >= ms(kSilentRunMs) && loudness_.rms(from, to) < kSilentShare * loudestVowel_;
    };

    VisemeCue cue;
    cue.startSample = startOf(i);
    double weight = 1.0;
    switch (kind(i)) {
    case Kind::Pause: cue.viseme = v::Silence; break;
    case Kind::Vowel:
        cue.viseme = phone.viseme;
        weight = vowelWeight(i);
        break;
    case Kind::LipContact:
    case Kind::Rounded:
        cue.viseme = phone.viseme;
        weight = phone.shapeWeight;
        break;
    case Kind::Visible:
    case Kind::Hidden:
        if (roundingAhead(i)) {
            // Rounding is under way when the consonant before started it; lips
            // that close or touch the teeth (the p of Russian "пьёт", English
            // "pure") start none, so it starts here.
            if (i > 0 && roundingAhead(i - 1) && kind(i - 1) != Kind::LipContact)
                return std::nullopt;
            // The lips round ahead of their vowel while the jaw stays with the
            // consonants: pursed lips, not the open jaw of an o.
            cue.viseme = v::ou;
            weight = kAnticipatedRounding;
        } else if (kind(i) == Kind::Visible) {
            cue.viseme = phone.viseme;
            weight = kVisibleConsonant * phone.shapeWeight;
        } else if (const auto run = hiddenRun(i); run.first == i && silent(run)) {
            // The jaw rises in the silence, towards the vowel either side.
            const std::size_t vowel = run.second < phones_.size() && kind(run.second) == Kind::Vowel ? run.second
                                      : i > 0 && kind(i - 1) == Kind::Vowel                           ? i - 1
                                                                                                       : i;
            if (vowel == i)
                return std::nullopt;
            cue.viseme = phones_[vowel].viseme;
            weight = kSilentBlend;
        } else {
            return std::nullopt;
        }
        break;
    }
    // After hidden consonants the move to this shape starts half way through
    // them, or with its own sound after a silent run; lips close only for
    // their own phone.
    if (kind(i) != Kind::Pause && kind(i) != Kind::LipContact && i > 0 && kind(i - 1) == Kind::Hidden &&
        !roundingAhead(i - 1)) {
        const auto run = hiddenRun(i - 1);
        if (!silent(run))
            cue.startSample = (startOf(run.first) + startOf(i)) / 2;
    }
    cue.weight = int(std::lround(255 * weight));
    return cue;
}

void LipSync::addTarget(VisemeCue target)
{
    int heldMs = timing::kMaxLeadMs * 2;  // nothing before it to wait for
    int from = v::Silence;
    if (open_) {
        if (open_->viseme == target.viseme && std::abs(open_->weight - target.weight) < 26)
            return;  // the same shape again
        heldMs = int((target.startSample - open_->startSample) * 1000 / rate_);
        from = open_->viseme;
        release(heldMs);
    }
    open_ = target;
    openAfterMs_ = heldMs;
    openFrom_ = from;
}

void LipSync::release(int holdMs)
{
    // Its settle time follows how long it is held, and its lead its settle time.
    open_->blendMs = timing::settleMs(open_->viseme, holdMs);
    open_->dueSample = open_->startSample - ms(timing::leadMs(openFrom_, openAfterMs_, open_->blendMs));
    if (open_->dueSample < 0) {
        // Due before the text's first sound: it goes at once, faster.
        open_->blendMs = timing::catchUpSettleMs(open_->blendMs, int(-open_->dueSample * 1000 / rate_));
        open_->dueSample = 0;
    }
    ready_.push_back(*open_);
}

int LipSync::stressBetween(std::int64_t from, std::int64_t to) const
{
    // Phones are in time order and a vowel is heard at most kLatestOnsetMs
    // past its mark, so only the marks from a little before `from` can count.
    const auto first = std::partition_point(phones_.begin(), phones_.begin() + std::ptrdiff_t(planned_),
                                            [&](const PhoneMark& p) { return p.startSample < from - ms(kLatestOnsetMs); });
    double strongest = 0;
    for (auto i = std::size_t(first - phones_.begin()); i < planned_ && phones_[i].startSample < to; ++i) {
        const std::int64_t heard = startOf(i);
        if (heard >= from && heard < to && kindOf(phones_[i], durationMs(i)) == Kind::Vowel)
            strongest = std::max(strongest, relativeLoudness(i) * stressOf(phones_[i]));
    }
    return int(std::lround(255 * strongest));
}

std::vector<VisemeCue> LipSync::takeDue(std::int64_t sample)
{
    std::vector<VisemeCue> due;
    while (!ready_.empty() && ready_.front().dueSample <= sample) {
        due.push_back(ready_.front());
        ready_.pop_front();
    }
    return due;
}

std::vector<VisemeCue> LipSync::takeAll()
{
    std::vector<VisemeCue> all(ready_.begin(), ready_.end());
    ready_.clear();
    return all;
}

}  // namespace vizmo::speech
