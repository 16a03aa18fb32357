#include "components/player/script.h"

#include <algorithm>

namespace vizmo::player {

const std::array<QString, kExpressionCount>& expressionNames()
{
    static const std::array<QString, kExpressionCount> names = {
        QStringLiteral("neutral"), QStringLiteral("smile"), QStringLiteral("surprise"),
        QStringLiteral("sad"),     QStringLiteral("angry"), QStringLiteral("blink")};
    return names;
}

namespace {

// Index of the last key at or before `t`, or -1.
template <typename Key>
int keyBefore(const std::vector<Key>& keys, double t)
{
    const auto after = std::upper_bound(keys.begin(), keys.end(), t,
                                        [](double time, const Key& key) { return time < key.timeMs; });
    return int(after - keys.begin()) - 1;
}

// Eased interpolation between neighbouring keys; the track holds its first
// value before the first key and its last after the last one.
template <typename Key, typename Mix>
auto sampleTrack(const std::vector<Key>& keys, double t, Mix mix)
{
    const int i = keyBefore(keys, t);
    if (i < 0)
        return mix(keys.front(), keys.front(), 0.0);
    if (i + 1 >= int(keys.size()))
        return mix(keys[std::size_t(i)], keys[std::size_t(i)], 0.0);
    const Key& a = keys[std::size_t(i)];
    const Key& b = keys[std::size_t(i + 1)];
    const double span = b.timeMs - a.timeMs;
    const double f = span <= 0 ? 1.0 : smoothStep((t - a.timeMs) / span);
    return mix(a, b, f);
}

double mixd(double a, double b, double f) { return a + (b - a) * f; }

MouthShape sampleMouth(const std::vector<VisemeKey>& keys, double t)
{
    // A key's shape begins to form kVisemeLeadMs before it, so the blend
    // finishes about when its sound starts.
    const int i = keyBefore(keys, t + kVisemeLeadMs);
    if (i < 0)
        return visemeShape(0);
    const VisemeKey& key = keys[std::size_t(i)];
    const MouthShape target = visemeShape(key.viseme, key.weight);
    const MouthShape previous = i > 0 ? visemeShape(keys[std::size_t(i - 1)].viseme, keys[std::size_t(i - 1)].weight)
                                      : visemeShape(0);
    const double gap = i > 0 ? double(key.timeMs - keys[std::size_t(i - 1)].timeMs) : kVisemeBlendMaxMs;
    const double blend = std::clamp(gap * 0.6, 1.0, kVisemeBlendMaxMs);
    const double start = key.timeMs - kVisemeLeadMs;
    return lerp(previous, target, smoothStep((t - start) / blend));
}

}  // namespace

ScriptFrame Script::sample(double t) const
{
    ScriptFrame frame;
    for (int e = 0; e < kExpressionCount; ++e) {
        const auto& keys = expressions[std::size_t(e)];
        if (!keys.empty())
            frame.expressions[std::size_t(e)] =
                sampleTrack(keys, t, [](const ScalarKey& a, const ScalarKey& b, double f) { return mixd(a.value, b.value, f); });
    }
    if (!head.empty()) {
        const TripleKey h = sampleTrack(head, t, [](const TripleKey& a, const TripleKey& b, double f) {
            return TripleKey{0, mixd(a.x, b.x, f), mixd(a.y, b.y, f), mixd(a.z, b.z, f)};
        });
        frame.headX = h.x, frame.headY = h.y, frame.headZ = h.z;
    }
    const auto pair = [](const PairKey& a, const PairKey& b, double f) {
        return PairKey{0, mixd(a.a, b.a, f), mixd(a.b, b.b, f)};
    };
    if (!eyes.empty()) {
        const PairKey e = sampleTrack(eyes, t, pair);
        frame.eyeX = e.a, frame.eyeY = e.b;
    }
    if (!shoulders.empty()) {
        const PairKey s = sampleTrack(shoulders, t, pair);
        frame.shoulderLeft = s.a, frame.shoulderRight = s.b;
    }
    if (!visemes.empty()) {
        frame.mouth = sampleMouth(visemes, t);
        frame.hasMouth = true;
    }
    return frame;
}

}  // namespace vizmo::player
