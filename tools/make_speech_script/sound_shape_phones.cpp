#include "tools/make_speech_script/sound_shape_phones.h"

#include "components/sound_shapes/shape_stream.h"
#include "components/speech/viseme_tables.h"

namespace vizmo::speech {

namespace {

namespace shapes = sound_shapes;

// A run of frames shorter than this joins the one before it: a phone shorter
// than 30 ms is the edge of its neighbours. A silence shorter than
// kClosureFrames within speech is a stop's closure, not a pause, and the
// mouth passes through it as through the stop.
constexpr std::size_t kShortestRun = 3;
constexpr std::size_t kClosureFrames = 15;

struct Run {
    std::size_t start, length;
    QByteArray phone;
};

std::vector<Run> runsOf(const std::vector<shapes::ShapeFrame>& frames)
{
    std::vector<Run> runs;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const QByteArray phone = shapes::standInPhone(frames[f].sound);
        if (!runs.empty() && runs.back().phone == phone)
            ++runs.back().length;
        else
            runs.push_back({f, 1, phone});
    }
    std::vector<Run> joined;
    for (Run& run : runs) {
        if (!joined.empty() && run.length < kShortestRun) {
            joined.back().length += run.length;
            continue;
        }
        if (run.phone == "pau" && run.length < kClosureFrames && !joined.empty() &&
            run.start + run.length < frames.size())
            run.phone = "t";
        if (!joined.empty() && joined.back().phone == run.phone)
            joined.back().length += run.length;
        else
            joined.push_back(run);
    }
    return joined;
}

}  // namespace

std::vector<PhoneMark> shapesFromSound(const Recording& recording)
{
    if (recording.rate <= 0 || recording.samples.empty())
        return {};
    const std::vector<float> sound = resample(recording.samples, recording.rate, shapes::kRate);
    std::vector<PhoneMark> out;
    for (const Run& run : runsOf(shapes::shapesOfKnownVoice(sound))) {
        const std::int64_t start = std::int64_t(run.start) * shapes::kHop * recording.rate / shapes::kRate;
        out.push_back(flitePhone(start, run.phone));
    }
    return out;
}

}  // namespace vizmo::speech
