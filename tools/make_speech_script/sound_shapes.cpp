#include "tools/make_speech_script/sound_shapes.h"

#include "components/speech/viseme_tables.h"

namespace vizmo::speech {

std::vector<PhoneMark> shapesFromSound(const Recording& recording)
{
    std::vector<PhoneMark> out;
    const std::size_t hop = std::size_t(recording.rate / 100);
    if (hop == 0)
        return out;
    double loudest = 0;
    std::vector<double> energy;
    for (std::size_t at = 0; at + hop <= recording.samples.size(); at += hop) {
        double sum = 0;
        for (std::size_t i = 0; i < hop; ++i)
            sum += double(recording.samples[at + i]) * recording.samples[at + i];
        energy.push_back(sum / double(hop));
        loudest = std::max(loudest, energy.back());
    }
    for (std::size_t f = 0; f < energy.size(); ++f) {
        const QByteArray name = energy[f] > loudest * 1e-3 ? "ah" : "pau";
        if (out.empty() || out.back().phone != name)
            out.push_back({std::int64_t(f * hop), flitePhoneViseme(name), name, -1});
    }
    return out;
}

}  // namespace vizmo::speech
