#pragma once
// The built-in face (face_renderer.h) as the player draws it frame by frame:
// what lies behind the head and the head's skin and hair are kept as pixmaps
// while they hold still, and only the features are drawn afresh.

#include "components/player/drawing/figure_renderer.h"

namespace vizmo::player {

class ProceduralRenderer final : public FigureRenderer {
public:
    explicit ProceduralRenderer(FaceModel model) : model_(std::move(model)) {}
    void paint(QPainter& painter, const QRectF& area, const FacePose& pose, const FigureBackdrop& backdrop) override;

private:
    FaceModel model_;
    // The backdrop with the hair behind the head and the torso, which change
    // far less often than the head in front of them; the head's base over
    // them and its top, which change only when the head moves.
    LayerCache behindHead_;
    LayerCache headBase_;
    LayerCache headTop_;
};

}  // namespace vizmo::player
