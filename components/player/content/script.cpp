#include "components/player/content/script.h"

#include "components/player/motion/mouth_easer.h"
#include "components/viseme_timing.h"

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

MouthShape keyShape(const VisemeKey& key) { return visemeShape(key.viseme, key.weight); }

MouthShape sampleMouth(const std::vector<VisemeKey>& keys, double t)
{
    namespace timing = viseme_timing;
    // Moves started this long ago have settled: the spring is replayed from there.
    constexpr double kSettledMs = 800;
    auto settle = [&keys](int i) {
        const VisemeKey& key = keys[std::size_t(i)];
        const int holdMs = i + 1 < int(keys.size()) ? keys[std::size_t(i + 1)].timeMs - key.timeMs : int(kSettledMs);
        return timing::settleMs(key.viseme, holdMs);
    };
    auto moveStart = [&keys, &settle](int i) {
        const VisemeKey& key = keys[std::size_t(i)];
        if (i == 0)
            return key.timeMs - timing::leadMs(0, timing::kMaxLeadMs * 2, settle(i), timing::kScriptPresentationMs);
        const VisemeKey& from = keys[std::size_t(i - 1)];
        return key.timeMs - timing::leadMs(from.viseme, key.timeMs - from.timeMs, settle(i), timing::kScriptPresentationMs);
    };
    int last = keyBefore(keys, t + timing::kMaxLeadMs);
    while (last >= 0 && moveStart(last) > t)
        --last;  // a quick move starts later than a slow one
    if (last < 0)
        return visemeShape(0);
    int first = last;
    while (first > 0 && moveStart(first) > t - kSettledMs)
        --first;
    MouthEaser mouth;
    mouth.reset(first > 0 ? keyShape(keys[std::size_t(first - 1)]) : visemeShape(0));
    for (int i = first; i <= last; ++i)
        mouth.setTarget(keyShape(keys[std::size_t(i)]), moveStart(i), settle(i));
    return mouth.at(t);
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
