#pragma once
// The built-in face (face_renderer.h) as the player draws it frame by frame,
// in parts (face_renderer.h's FacePart), each kept as a picture while its
// key (face_part_keys.h) holds and drawn straight onto the frame while it
// moves: a speaking mouth is drawn afresh over the kept skin, eyes and
// hair; a turning head draws its parts afresh over the kept backdrop and
// torso. Under the features, the backdrop, the hair behind the head, the
// torso and the skin are one opaque picture while they all hold.

#include "components/player/drawing/face_renderer.h"
#include "components/player/drawing/figure_renderer.h"
#include "components/player/drawing/gradient_textures.h"

#include <array>

namespace vizmo::player {

class ProceduralRenderer final : public FigureRenderer {
public:
    explicit ProceduralRenderer(FaceModel model) : model_(std::move(model)) {}
    void paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop) override;

    // Each part's layer, for tests that count what was drawn.
    const LayerCache& layer(FacePart part) const { return parts_[std::size_t(part)]; }

private:
    FaceModel model_;
    GradientTextures textures_;
    LayerCache under_;   // everything under the features
    LayerCache behind_;  // the backdrop and the hair behind the head
    std::array<LayerCache, kFacePartCount> parts_;  // BackHair's is unused: behind_ keeps it
};

}  // namespace vizmo::player
