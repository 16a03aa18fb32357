#include "components/player/drawing/artwork_mouth.h"

#include "components/player_control.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vizmo::player {

namespace {

using M = ArtLayer;

// Which drawn shape shows each viseme: the first of its list that the
// drawing has. Every list ends in rest.
// The cartoon mouths: lips that close (P, B, M) or touch the teeth (F, V);
// the consonants said with the teeth a little apart (t, d, s, n, k, th) and
// the spread vowels wide; rounded sounds round; vowels open before they rest,
// so a drawing with only rest and open opens on every vowel.
const std::array<std::vector<ArtLayer>, viseme::Count>& preferences()
{
    static const std::array<std::vector<ArtLayer>, viseme::Count> table = {{
        {M::MouthRest},                                  // sil
        {M::MouthClosed, M::MouthRest},                  // PP
        {M::MouthF, M::MouthClosed, M::MouthRest},       // FF
        {M::MouthWide, M::MouthRest},                    // TH
        {M::MouthWide, M::MouthRest},                    // DD
        {M::MouthWide, M::MouthOpen, M::MouthRest},      // kk
        {M::MouthRound, M::MouthWide, M::MouthRest},     // CH
        {M::MouthWide, M::MouthRest},                    // SS
        {M::MouthWide, M::MouthRest},                    // nn
        {M::MouthRound, M::MouthRest},                   // RR
        {M::MouthOpen, M::MouthWide, M::MouthRest},      // aa
        {M::MouthWide, M::MouthOpen, M::MouthRest},      // E
        {M::MouthWide, M::MouthOpen, M::MouthRest},      // ih
        {M::MouthRound, M::MouthOpen, M::MouthRest},     // oh
        {M::MouthRound, M::MouthOpen, M::MouthRest},     // ou
    }};
    return table;
}

// A viseme said at half its weight or more shows its own drawn shape; the
// mouth between such points blends the shapes of the points nearest it.
constexpr std::array<double, 3> kShownWeights = {0.5, 0.75, 1.0};

// Only an "aa" said at full strength opens the mouth all the way; said more
// lightly (unstressed, or quieter than the loudest vowel so far) it shows the
// half-open shape, so the drawn mouth opens as far as the voice is loud.
constexpr double kFullyOpen = 0.9;

// The consonants said with the jaw nearly shut share their drawn shape with
// the vowels ("wide" with "E", "round" with "oh"): they show it only as far as
// they open against the vowel it was drawn for, the rest of the way resting,
// so a quiet "s" does not look like a loud "ee". Lips that close or touch the
// teeth show their own shapes whole.
bool opensPartly(int v)
{
    return v == viseme::TH || v == viseme::DD || v == viseme::kk || v == viseme::CH || v == viseme::SS ||
           v == viseme::nn || v == viseme::RR;
}

// How far open the mouth each drawn shape stands for is.
double drawnOpening(ArtLayer shape)
{
    switch (shape) {
    case ArtLayer::MouthOpen: return visemeShape(viseme::aa).open;
    case ArtLayer::MouthWide: return visemeShape(viseme::E).open;
    case ArtLayer::MouthRound: return (visemeShape(viseme::oh).open + visemeShape(viseme::ou).open) / 2;
    case ArtLayer::MouthF: return visemeShape(viseme::FF).open;
    default: return 0.0;
    }
}

struct Anchor {
    MouthShape mouth;
    int viseme;
};

const std::vector<Anchor>& anchors()
{
    static const std::vector<Anchor> points = [] {
        std::vector<Anchor> out{{visemeShape(viseme::Silence), viseme::Silence}};
        for (int v = 1; v < viseme::Count; ++v) {
            for (double w : kShownWeights)
                out.push_back({visemeShape(v, w), v == viseme::aa && w < kFullyOpen ? viseme::E : v});
        }
        return out;
    }();
    return points;
}

// How far apart two mouths look. The jaw's opening shows most, then the
// lips' rounding, pressing and biting, then their width; teeth and tongue
// are small in any drawing.
double distanceSquared(const MouthShape& a, const MouthShape& b)
{
    const auto d = [](double x, double y, double weight) { return (x - y) * (x - y) * weight * weight; };
    return d(a.open, b.open, 1.0) + d(a.round, b.round, 0.8) + d(a.press, b.press, 0.8) +
           d(a.lipBite, b.lipBite, 0.8) + d(a.width, b.width, 0.6) + d(a.teeth, b.teeth, 0.3) +
           d(a.tongue, b.tongue, 0.2);
}

// Inverse distance to the fourth power: a mouth held at a point shows that
// point's shape alone, one on its way between two cross-fades them, and the
// weights change continuously with the mouth.
constexpr double kSharpness = 4.0;
constexpr double kTouching = 1e-12;

std::size_t slot(ArtLayer layer) { return std::size_t(int(layer) - int(kFirstMouth)); }

}  // namespace

DrawnMouths drawnMouths(const ArtworkGeometry& geometry)
{
    DrawnMouths drawn{};
    for (int m = 0; m < kMouthShapeCount; ++m)
        drawn[std::size_t(m)] = geometry.has(ArtLayer(int(kFirstMouth) + m));
    return drawn;
}

MouthWeights mouthWeights(const MouthShape& mouth, const DrawnMouths& drawn)
{
    MouthWeights weights{};
    double total = 0;
    for (const Anchor& anchor : anchors()) {
        const double w = 1.0 / (std::pow(distanceSquared(mouth, anchor.mouth), kSharpness / 2) + kTouching);
        const ArtLayer shape = nearestMouth(anchor.viseme, drawn);
        const double opening = drawnOpening(shape);
        const double shown =
            opensPartly(anchor.viseme) && opening > 0 ? std::clamp(anchor.mouth.open / opening, 0.0, 1.0) : 1.0;
        weights[slot(shape)] += w * shown;
        weights[slot(nearestMouth(viseme::Silence, drawn))] += w * (1 - shown);
        total += w;
    }
    for (double& w : weights)
        w /= total;
    return weights;
}

ShownMouth showMouth(const MouthWeights& weights, const ArtworkGeometry& geometry)
{
    const auto heaviest = std::size_t(std::max_element(weights.begin(), weights.end()) - weights.begin());
    ShownMouth shown{ArtLayer(int(kFirstMouth) + int(heaviest)), {}};
    const QRectF own = geometry[shown.shape];
    double left = 0, top = 0, right = 0, bottom = 0, total = 0;
    for (int m = 0; m < kMouthShapeCount; ++m) {
        const QRectF box = geometry[ArtLayer(int(kFirstMouth) + m)];
        const double w = weights[std::size_t(m)];
        if (w <= 0 || box.isEmpty())
            continue;
        left += w * box.left(), top += w * box.top(), right += w * box.right(), bottom += w * box.bottom();
        total += w;
    }
    if (own.isEmpty() || total <= 0)
        return shown;
    const QRectF target(QPointF(left / total, top / total), QPointF(right / total, bottom / total));
    const double sx = target.width() / own.width(), sy = target.height() / own.height();
    shown.morph = QTransform::fromTranslate(-own.left(), -own.top()) * QTransform::fromScale(sx, sy) *
                  QTransform::fromTranslate(target.left(), target.top());
    return shown;
}

ArtLayer nearestMouth(int viseme, const DrawnMouths& drawn)
{
    for (ArtLayer shape : preferences()[std::size_t(std::clamp(viseme, 0, viseme::Count - 1))]) {
        if (drawn[slot(shape)])
            return shape;
    }
    // A drawing without a rest shape rests on the most nearly closed one it has.
    for (ArtLayer shape : {M::MouthClosed, M::MouthF, M::MouthWide, M::MouthRound, M::MouthOpen}) {
        if (drawn[slot(shape)])
            return shape;
    }
    return M::MouthRest;
}

}  // namespace vizmo::player
