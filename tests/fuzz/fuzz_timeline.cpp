// A script that loads is played through the timeline by a fuzzed sequence of
// play, pause, seek, stop and clock steps; every position stays inside the
// script and every sampled frame is finite.
#include "components/player/content/script.h"
#include "components/player/playback_timeline.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
bool finite(const vizmo::player::ScriptFrame& f)
{
    bool ok = std::isfinite(f.headX) && std::isfinite(f.headY) && std::isfinite(f.headZ) && std::isfinite(f.eyeX) &&
              std::isfinite(f.eyeY) && std::isfinite(f.shoulderLeft) && std::isfinite(f.shoulderRight);
    for (double e : f.expressions)
        ok = ok && std::isfinite(e);
    return ok;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vizmo::player;
    FuzzedDataProvider input(data, size);
    const std::vector<std::uint8_t> steps = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 64));
    const std::string text = input.ConsumeRemainingBytesAsString();
    const auto script = parseScript(QByteArray(text.data(), qsizetype(text.size())), QStringLiteral("f.qvs"), {});
    if (!script.ok())
        return 0;
    const Script& s = script.value();
    PlaybackTimeline timeline;
    timeline.setLength(s.lengthMs);
    double now = 0;
    for (std::size_t i = 0; i + 1 < steps.size(); i += 2) {
        const double amount = double(steps[i + 1]) * s.lengthMs / 128.0 - s.lengthMs / 4.0;
        switch (steps[i] % 6) {
        case 0: timeline.play(now); break;
        case 1: timeline.pause(now); break;
        case 2: timeline.seek(amount, now); break;
        case 3: timeline.stop(); break;
        case 4: timeline.followExternalClock(amount, now); break;
        default: now += std::abs(amount); break;
        }
        const double at = timeline.position(now);
        if (!(at >= 0 && at <= s.lengthMs))
            std::abort();
        if (timeline.reachedEnd(now))
            timeline.finish();
        if (!finite(s.sample(at)))
            std::abort();
    }
    return 0;
}
