#pragma once
// Finds a drawing's layers by their names, as editors write them. A layer is
// the element whose Inkscape label (the name its Layers panel shows) or id is
// the layer's name. Near misses that can only mean one layer are taken as it:
// another case or other separators ("Head", "eye_left_iris"), an editor's
// suffix ("eye-left-iris-6" from Inkscape, "brow-left_1_" from Illustrator,
// "mouth-open copy"), and a label over the id Inkscape made ("layer3") or
// over an old id kept through a rename. Near misses that could mean more
// than one thing are only reported: a group that holds two layers
// ("brows"), words in another order, a word the player does not use.

#include "components/player/content/art_layers.h"
#include "components/player/content/svg_safety.h"

#include <QString>

#include <array>
#include <vector>

namespace vizmo::player {

enum class NameMatch {
    Id,            // its id is the name (and its label too, when it has one)
    Label,         // its label is the name; its id is one Inkscape made ("layer3", "g116")
    RenamedLabel,  // its label is the name; its id is another word (a layer renamed in Inkscape)
    IdOverLabel,   // its id is the name; its label is another word, which names no layer
    Case,          // another case or other separators
    Suffix,        // an editor's suffix
};

struct NamedElement {
    int element = -1;  // in the outline, -1 when none is found
    NameMatch match = NameMatch::Id;
    QString written;  // the label or id it was found by
    bool found() const { return element >= 0; }
};

// A finding for the user: where in the drawing, and what.
struct DrawingNote {
    enum class Kind {
        Layer,     // a layer, and how it was found
        Resolved,  // a near miss the player takes as a layer
        Missing,   // an optional layer not drawn, and what that means
        Warning,   // something that will not move as the user may expect
    };
    Kind kind = Kind::Layer;
    int line = 0;  // in the drawing, 0 for none
    QString text;
};

struct FoundLayers {
    std::array<NamedElement, kArtLayerCount> layers{};
    std::array<NamedElement, kArtMarkerCount> markers{};
    // Elements that look like layers and are not taken as any.
    std::vector<DrawingNote> nearMisses;
};

FoundLayers findLayers(const DrawingOutline& outline);

// How `found` was found, for the user: a Layer note, or a Resolved one for
// a near miss taken as the layer `name`.
DrawingNote describeMatch(const DrawingOutline& outline, const NamedElement& found, const QString& name);

// The name in the one spelling layers are compared in: lower case, words
// joined by '-' ("Eye_Left Iris" is "eye-left-iris").
QString spelledAsLayer(const QString& written);

// Whether `id` looks made by an editor rather than a person: a word and a
// number ("layer3", "g116", "path1234-5", "Layer_1").
bool isGeneratedId(const QString& id);

}  // namespace vizmo::player
