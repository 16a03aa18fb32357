#pragma once
// The layers a drawn character may have, by the names its user gives them
// (docs/draw-your-own-character.md), and the markers of its pivots.

#include <QString>

#include <array>

namespace vizmo::player {

// The layers the player knows. "Left" is the left of the picture, as the
// user sees it while drawing. The drawing's own order stacks them.
enum class ArtLayer {
    BackHair,
    Neck,
    Body,
    Ears,
    Head,
    LeftEyeWhite,
    LeftEyeIris,
    LeftEyeLid,
    LeftEyeLashes,
    RightEyeWhite,
    RightEyeIris,
    RightEyeLid,
    RightEyeLashes,
    LeftBrow,
    RightBrow,
    Nose,
    MouthRest,
    MouthClosed,
    MouthF,
    MouthOpen,
    MouthWide,
    MouthRound,
    FrontHair,
    Accessories,
};
inline constexpr int kArtLayerCount = int(ArtLayer::Accessories) + 1;
inline constexpr ArtLayer kFirstMouth = ArtLayer::MouthRest;
inline constexpr int kMouthShapeCount = int(ArtLayer::MouthRound) - int(ArtLayer::MouthRest) + 1;

inline bool isMouthLayer(ArtLayer layer) { return layer >= kFirstMouth && layer <= ArtLayer::MouthRound; }
inline bool isEyeLayer(ArtLayer layer) { return layer >= ArtLayer::LeftEyeWhite && layer <= ArtLayer::RightEyeLashes; }

// The name of `layer` in a drawing: "eye-left-iris", "mouth-open"...
QString artLayerName(ArtLayer layer);
// What the character lacks without `layer`, in a user's words.
QString whatItMeansToLack(ArtLayer layer);

// Where each eye's layers are: [0] the left eye of the picture, [1] the right.
struct EyeLayers {
    ArtLayer white, iris, lid, lashes;
};
const std::array<EyeLayers, 2>& eyeLayers();

// Markers whose centres are points the player moves about.
enum class ArtMarker { HeadPivot, LeftEyePivot, RightEyePivot };
inline constexpr int kArtMarkerCount = 3;
QString artMarkerName(ArtMarker marker);

}  // namespace vizmo::player
