#include "components/player/motion/mouth_shape.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::player {

MouthShape lerp(const MouthShape& a, const MouthShape& b, double t)
{
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    return {mix(a.open, b.open),   mix(a.width, b.width),   mix(a.round, b.round),     mix(a.teeth, b.teeth),
            mix(a.tongue, b.tongue), mix(a.press, b.press), mix(a.lipBite, b.lipBite)};
}

MouthShape visemeShape(int viseme, double weight)
{
    // open, width, round, teeth, tongue, press, lipBite
    static const std::array<MouthShape, viseme::Count> shapes = {{
        {0.00, 0.00, 0.00, 0.00, 0.0, 0.0, 0.0},  // sil
        {0.00, -0.10, 0.10, 0.00, 0.0, 1.0, 0.0}, // PP: lips pressed
        {0.12, 0.05, 0.00, 0.80, 0.0, 0.0, 1.0},  // FF: lower lip under the teeth
        {0.20, 0.10, 0.00, 0.60, 1.0, 0.0, 0.0},  // TH: tongue between the teeth
        {0.25, 0.15, 0.00, 0.60, 0.6, 0.0, 0.0},  // DD
        {0.35, 0.10, 0.00, 0.40, 0.0, 0.0, 0.0},  // kk
        {0.22, -0.35, 0.55, 0.70, 0.0, 0.0, 0.0}, // CH: lips forward, teeth near
        {0.12, 0.35, 0.00, 0.90, 0.0, 0.0, 0.0},  // SS: teeth together, lips apart
        {0.18, 0.10, 0.00, 0.40, 0.7, 0.0, 0.0},  // nn
        {0.25, -0.25, 0.45, 0.30, 0.0, 0.0, 0.0}, // RR
        {0.95, 0.15, 0.00, 0.50, 0.0, 0.0, 0.0},  // aa: wide open
        {0.55, 0.45, 0.00, 0.60, 0.0, 0.0, 0.0},  // E
        {0.40, 0.55, 0.00, 0.70, 0.0, 0.0, 0.0},  // ih
        {0.65, -0.35, 0.85, 0.20, 0.0, 0.0, 0.0}, // oh
        {0.30, -0.65, 1.00, 0.00, 0.0, 0.0, 0.0}, // ou
    }};
    const int index = std::clamp(viseme, 0, viseme::Count - 1);
    return lerp(shapes[0], shapes[std::size_t(index)], std::clamp(weight, 0.0, 1.0));
}

const std::array<QString, 15>& visemeNames()
{
    static const std::array<QString, 15> names = {
        QStringLiteral("sil"), QStringLiteral("PP"), QStringLiteral("FF"), QStringLiteral("TH"),
        QStringLiteral("DD"),  QStringLiteral("kk"), QStringLiteral("CH"), QStringLiteral("SS"),
        QStringLiteral("nn"),  QStringLiteral("RR"), QStringLiteral("aa"), QStringLiteral("E"),
        QStringLiteral("ih"),  QStringLiteral("oh"), QStringLiteral("ou")};
    return names;
}

int visemeIndex(QStringView name)
{
    const auto& names = visemeNames();
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : int(found - names.begin());
}

double smoothStep(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace vizmo::player
