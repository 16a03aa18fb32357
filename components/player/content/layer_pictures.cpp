#include "components/player/content/layer_pictures.h"

#include "components/player/content/svg_document.h"

#include <algorithm>
#include <vector>

namespace vizmo::player {

namespace {

bool insideMask(const DrawingOutline& outline, int element)
{
    for (int at = outline.elements[std::size_t(element)].parent; at >= 0; at = outline.elements[std::size_t(at)].parent) {
        if (outline.elements[std::size_t(at)].masks)
            return true;
    }
    return false;
}

// An element by its id, or by its place below the nearest element that has one.
QString selectorOf(const DrawingOutline& outline, int element)
{
    const auto& elements = outline.elements;
    QStringList steps;
    for (int at = element; at >= 0; at = elements[std::size_t(at)].parent) {
        const OutlineElement& e = elements[std::size_t(at)];
        if (!e.id.isEmpty()) {
            steps.prepend(SvgDocument::selectorOf(e.id));
            return steps.join(QStringLiteral(" > "));
        }
        if (e.parent < 0) {
            steps.prepend(QStringLiteral(":root"));
            return steps.join(QStringLiteral(" > "));
        }
        int position = 0;
        for (int sibling = e.parent + 1; sibling <= at; ++sibling)
            position += elements[std::size_t(sibling)].parent == e.parent;
        steps.prepend(QStringLiteral(":nth-child(%1)").arg(position));
    }
    return steps.join(QStringLiteral(" > "));
}

// Selectors of every drawn element beside the way from the root to `element`.
QStringList offTheWayTo(const DrawingOutline& outline, int element)
{
    const auto& elements = outline.elements;
    std::vector<int> way;
    for (int at = element; at >= 0; at = elements[std::size_t(at)].parent)
        way.push_back(at);
    QStringList off;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const OutlineElement& e = elements[i];
        // A child of a group on the way (what the element itself holds is its own).
        const bool besideTheWay = e.parent >= 0 && e.parent != element &&
                                  std::find(way.begin(), way.end(), e.parent) != way.end() &&
                                  std::find(way.begin(), way.end(), int(i)) == way.end();
        if (besideTheWay && !isDefinitionElement(e.tag))
            off << selectorOf(outline, int(i));
    }
    return off;
}

}  // namespace

// Every layer nested deeper than a layer that holds any is left out of its
// picture: layers as deep share one reading of the drawing (SvgDocument).
LayerPictures pictureLayers(const DrawingOutline& outline, const FoundLayers& found)
{
    LayerPictures out;
    std::array<int, kArtLayerCount> depth{};
    for (int inner = 0; inner < kArtLayerCount; ++inner) {
        for (int outer = 0; outer < kArtLayerCount; ++outer) {
            const int o = found.layers[std::size_t(outer)].element, n = found.layers[std::size_t(inner)].element;
            if (inner != outer && o >= 0 && n >= 0 && outline.within(n, o)) {
                ++depth[std::size_t(inner)];
                out.holds[std::size_t(outer)] << artLayerName(ArtLayer(inner));
            }
        }
    }
    const auto idOf = [&](int layer) {
        const int element = found.layers[std::size_t(layer)].element;
        return element < 0 ? QString() : outline.elements[std::size_t(element)].id;
    };
    for (int i = 0; i < kArtLayerCount; ++i) {
        const int element = found.layers[std::size_t(i)].element;
        if (element < 0)
            continue;
        LayerPicture& picture = out.pictures[std::size_t(i)];
        picture.element = idOf(i);
        for (int inner = 0; inner < kArtLayerCount && !out.holds[std::size_t(i)].isEmpty(); ++inner) {
            if (!idOf(inner).isEmpty() && depth[std::size_t(inner)] > depth[std::size_t(i)])
                picture.hidden << SvgDocument::selectorOf(idOf(inner));
        }
        if (insideMask(outline, element)) {
            picture.element.clear();
            picture.hidden += offTheWayTo(outline, element);
        }
    }
    return out;
}

}  // namespace vizmo::player
