#include "components/player/drawing/figure_renderer.h"

#include "components/player/drawing/procedural_renderer.h"

namespace vizmo::player {

std::unique_ptr<FigureRenderer> makeFigureRenderer(const FaceModel& model)
{
    return std::make_unique<ProceduralRenderer>(model);
}

}  // namespace vizmo::player
