#include "components/speech/lip_sync.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::speech {

namespace v = player::viseme;

LipSync::LipSync(int sampleRate, LipSyncTiming timing) : rate_(sampleRate > 0 ? sampleRate : 22050), timing_(timing) {}

int LipSync::dominance(int viseme)
{
    switch (viseme) {
    case v::PP: return 6;
    case v::FF: return 5;
    case v::ou: case v::oh: return 4;  // rounded lips are seen from afar
    case v::aa: case v::E: case v::ih: return 3;
    case v::CH: case v::SS: case v::TH: case v::RR: return 2;
    case v::DD: case v::kk: case v::nn: return 1;
    default: return 0;
    }
}

void LipSync::addPhones(const std::vector<PhoneMark>& phones)
{
    for (const PhoneMark& phone : phones) {
        if (finished_)
            return;
        if (!open_) {
            open_ = phone;
            continue;
        }
        if (phone.startSample < open_->startSample)
            continue;  // out of order: never expected, never fatal
        if (phone.viseme == open_->viseme)
            continue;
        if (phone.startSample - open_->startSample < ms(timing_.minHoldMs)) {
            if (dominance(phone.viseme) > dominance(open_->viseme))
                open_->viseme = phone.viseme;
            continue;
        }
        close(phone.startSample);
        open_ = phone;
    }
}

void LipSync::finish(std::int64_t endSample)
{
    if (finished_)
        return;
    if (open_)
        close(std::max(endSample, open_->startSample));
    if (ready_.empty() || ready_.back().viseme != v::Silence)
        ready_.push_back({endSample, std::max<std::int64_t>(0, endSample - ms(timing_.leadMs)), v::Silence, 255,
                          timing_.minBlendMs * 2});
    finished_ = true;
}

void LipSync::close(std::int64_t endSample)
{
    const int durationMs = int((endSample - open_->startSample) * 1000 / rate_);
    VisemeCue cue;
    cue.startSample = open_->startSample;
    cue.viseme = open_->viseme;
    const bool closure = cue.viseme == v::PP;
    cue.dueSample = std::max<std::int64_t>(0, cue.startSample - ms(closure ? timing_.closureLeadMs : timing_.leadMs));
    cue.blendMs = closure ? timing_.minBlendMs : std::clamp(durationMs * 2 / 5, timing_.minBlendMs, timing_.maxBlendMs);
    open_.reset();
    if (ready_.empty() || ready_.back().viseme != cue.viseme)  // merged shapes can meet their equal
        ready_.push_back(cue);
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
