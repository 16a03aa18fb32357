#pragma once
// The mouth as a few measures the renderer draws from, one shape per viseme,
// and the arithmetic to blend them. Blending measures (not pictures) keeps
// every in-between shape a real mouth.

#include <QString>

#include <array>

namespace vizmo::player {

struct MouthShape {
    double open = 0.0;      // jaw drop: 0 closed .. 1 wide open
    double width = 0.0;     // -1 pursed .. 0 rest .. 1 stretched
    double round = 0.0;     // 0 relaxed .. 1 rounded lips (o, u)
    double teeth = 0.0;     // how much of the upper teeth shows
    double tongue = 0.0;    // tongue tip visible behind the teeth (TH, DD, nn)
    double press = 0.0;     // lips pressed together (P, B, M)
    double lipBite = 0.0;   // lower lip under the upper teeth (F, V)

    friend bool operator==(const MouthShape&, const MouthShape&) = default;
};

MouthShape lerp(const MouthShape& a, const MouthShape& b, double t);
// The viseme's shape at `weight` 0..1 (0 is the rest shape).
MouthShape visemeShape(int viseme, double weight = 1.0);

// Names as the scripts write them, in viseme order: sil PP FF TH DD kk CH SS nn RR aa E ih oh ou.
const std::array<QString, 15>& visemeNames();
// -1 if `name` is none of them (case-sensitive).
int visemeIndex(QStringView name);

// Smooth 0..1 easing with zero slope at both ends.
double smoothStep(double t);

}  // namespace vizmo::player
