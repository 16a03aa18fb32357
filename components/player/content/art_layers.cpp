#include "components/player/content/art_layers.h"

namespace vizmo::player {

namespace {

struct LayerWords {
    const char16_t* name;
    // What the player does without the layer.
    const char16_t* lacking;
};

// In ArtLayer's order. Words a person would write in any editor, lower case
// and hyphenated as ids usually are.
constexpr std::array<LayerWords, kArtLayerCount> kLayers = {{
    {u"back-hair", u"no hair hangs behind the head, so none swings as it moves"},
    {u"neck", u"no neck shows under a head that tilts or nods"},
    {u"body", u"the character has no shoulders: SetShoulder and the breath move nothing"},
    {u"ears", u"no ears move behind the face as it turns"},
    {u"head", u"required"},
    {u"eye-left-white", u"the left eye has no opening: its iris is not cut to one"},
    {u"eye-left-iris", u"the left eye does not look about"},
    {u"eye-left-lid", u"the left eye blinks by flattening"},
    {u"eye-left-lashes", u"the left eye has no line over its iris"},
    {u"eye-right-white", u"the right eye has no opening: its iris is not cut to one"},
    {u"eye-right-iris", u"the right eye does not look about"},
    {u"eye-right-lid", u"the right eye blinks by flattening"},
    {u"eye-right-lashes", u"the right eye has no line over its iris"},
    {u"brow-left", u"no left brow rises in surprise or lowers in anger"},
    {u"brow-right", u"no right brow rises in surprise or lowers in anger"},
    {u"nose", u"no nose stands out of a turning face"},
    {u"mouth-rest", u"silence shows the most nearly closed mouth drawn"},
    {u"mouth-closed", u"p, b and m show the rest mouth"},
    {u"mouth-f", u"f and v show the closed or the rest mouth"},
    {u"mouth-open", u"a loud \"ah\" shows the wide mouth, or rests"},
    {u"mouth-wide", u"\"ee\", t, d, s and n rest"},
    {u"mouth-round", u"\"oo\", \"oh\" and w show the open mouth, or rest"},
    {u"front-hair", u"no fringe sways over the face"},
    {u"accessories", u"nothing is worn on the face"},
}};

constexpr std::array<const char16_t*, kArtMarkerCount> kMarkers = {u"pivot-head", u"pivot-eye-left", u"pivot-eye-right"};

}  // namespace

QString artLayerName(ArtLayer layer)
{
    return QString::fromUtf16(kLayers[std::size_t(layer)].name);
}

QString whatItMeansToLack(ArtLayer layer)
{
    return QString::fromUtf16(kLayers[std::size_t(layer)].lacking);
}

QString artMarkerName(ArtMarker marker)
{
    return QString::fromUtf16(kMarkers[std::size_t(marker)]);
}

const std::array<EyeLayers, 2>& eyeLayers()
{
    static const std::array<EyeLayers, 2> eyes = {{
        {ArtLayer::LeftEyeWhite, ArtLayer::LeftEyeIris, ArtLayer::LeftEyeLid, ArtLayer::LeftEyeLashes},
        {ArtLayer::RightEyeWhite, ArtLayer::RightEyeIris, ArtLayer::RightEyeLid, ArtLayer::RightEyeLashes},
    }};
    return eyes;
}

}  // namespace vizmo::player
