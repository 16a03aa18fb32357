#include "components/player/drawing/figure_renderer.h"

#include "components/player/drawing/artwork_renderer.h"
#include "components/player/drawing/procedural_renderer.h"

namespace vizmo::player {

std::unique_ptr<FigureRenderer> makeFigureRenderer(const FaceModel& model)
{
    if (model.artwork)
        return std::make_unique<ArtworkRenderer>(model.artwork);
    return std::make_unique<ProceduralRenderer>(model);
}

}  // namespace vizmo::player
