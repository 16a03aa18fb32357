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
// Phones looked at past the one being planned: rounding looks two ahead.
constexpr std::size_t kLookahead = 3;
// How strongly a consonant shows that rounding is coming.
constexpr double kAnticipatedRounding = 0.6;
constexpr double kVisibleConsonant = 0.8;

Kind kindOf(const PhoneMark& p, int durationMs)
{
    if (p.phone == "h" || p.phone == "hh")
        return Kind::Hidden;  // the tables give it a vowel's shape; it takes its vowel's
    if (p.phone == "w")
        return Kind::Rounded;
    if (p.phone == "y" || p.phone == "j")
        return Kind::Visible;
    switch (p.viseme) {
    case v::Silence: return durationMs >= kPauseMs ? Kind::Pause : Kind::Hidden;
    case v::PP: case v::FF: return Kind::LipContact;
    case v::DD: case v::kk: case v::nn: return Kind::Hidden;
    case v::TH: case v::CH: case v::SS: case v::RR: return Kind::Visible;
    default: return Kind::Vowel;
    }
}

bool isRounded(const PhoneMark& p) { return p.viseme == v::oh || p.viseme == v::ou; }

// Schwas of both engines' phone sets.
bool isReduced(const QByteArray& phone)
{
    return phone == "ax" || phone.startsWith('@') || phone == "3" || phone == "I2" || phone == "a#";
}

// Stressed vowels open fully, unstressed ones less, schwas least; short ones
// less than long ones.
double vowelWeight(const PhoneMark& p, int durationMs)
{
    const double stress = isReduced(p.phone) ? 0.6 : p.stress == 0 ? 0.8 : 1.0;
    const double length = std::clamp(0.7 + 0.3 * (durationMs - 50) / 70.0, 0.7, 1.0);
    return stress * length;
}

}  // namespace

LipSync::LipSync(int sampleRate) : rate_(sampleRate > 0 ? sampleRate : 22050) {}

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
        open_->blendMs = timing::kRestSettleMs;
        ready_.push_back(*open_);
        open_.reset();
    }
}

std::int64_t LipSync::endOf(std::size_t i) const
{
    if (i + 1 < phones_.size())
        return phones_[i + 1].startSample;
    return end_ ? *end_ : phones_[i].startSample;
}

int LipSync::durationMs(std::size_t i) const { return int((endOf(i) - phones_[i].startSample) * 1000 / rate_); }

void LipSync::plan(std::size_t upTo)
{
    for (; planned_ < upTo; ++planned_) {
        if (auto target = targetOf(planned_))
            addTarget(*target);
    }
}

std::optional<VisemeCue> LipSync::targetOf(std::size_t i) const
{
    const PhoneMark& phone = phones_[i];
    auto kind = [this](std::size_t k) { return kindOf(phones_[k], durationMs(k)); };
    auto consonant = [&](std::size_t k) { return kind(k) != Kind::Vowel && kind(k) != Kind::Pause; };
    // The rounded phone that this consonant and at most one more lead up to.
    auto roundingAhead = [&](std::size_t k) -> std::optional<int> {
        if (!consonant(k) || kind(k) == Kind::Rounded)
            return std::nullopt;
        for (std::size_t j = k + 1; j < phones_.size() && j <= k + 2; ++j) {
            if (isRounded(phones_[j]))
                return phones_[j].viseme;
            if (!consonant(j))
                break;
        }
        return std::nullopt;
    };

    VisemeCue cue;
    cue.startSample = phone.startSample;
    double weight = 1.0;
    switch (kind(i)) {
    case Kind::Pause: cue.viseme = v::Silence; break;
    case Kind::Vowel:
        cue.viseme = phone.viseme;
        weight = vowelWeight(phone, durationMs(i));
        break;
    case Kind::LipContact: cue.viseme = phone.viseme; break;
    case Kind::Rounded: cue.viseme = v::ou; break;
    case Kind::Visible:
    case Kind::Hidden:
        if (const auto rounded = roundingAhead(i)) {
            if (i > 0 && roundingAhead(i - 1))
                return std::nullopt;  // rounding already under way
            cue.viseme = *rounded;
            weight = kAnticipatedRounding;
        } else if (kind(i) == Kind::Visible) {
            cue.viseme = phone.viseme;
            weight = kVisibleConsonant;
        } else {
            return std::nullopt;
        }
        break;
    }
    // After hidden consonants the move to this shape starts half way through
    // them; lips close only for their own phone.
    if (kind(i) != Kind::Pause && kind(i) != Kind::LipContact) {
        std::size_t first = i;
        while (first > 0 && kind(first - 1) == Kind::Hidden && !roundingAhead(first - 1))
            --first;
        if (first < i)
            cue.startSample = (phones_[first].startSample + phone.startSample) / 2;
    }
    cue.weight = int(std::lround(255 * weight));
    return cue;
}

void LipSync::addTarget(VisemeCue target)
{
    int leadMs = timing::kMaxLeadMs;
    if (open_) {
        if (open_->viseme == target.viseme && std::abs(open_->weight - target.weight) < 26)
            return;  // the same shape again
        const int holdMs = int((target.startSample - open_->startSample) * 1000 / rate_);
        open_->blendMs = timing::settleMs(open_->viseme, holdMs);
        ready_.push_back(*open_);
        leadMs = timing::leadMs(open_->viseme, target.viseme, holdMs);
    }
    target.dueSample = std::max<std::int64_t>(0, target.startSample - ms(leadMs));
    open_ = target;
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
