// Any bytes given as a model's drawing either load or are refused with error
// 321 and a message naming the file; nothing else may happen. A drawing that
// loads is read by librsvg, measured, and drawn at rest and in a pose that
// moves every layer, with a blink and a mouth half way between two shapes.
#include "components/dispatch/error.h"
#include "components/player/content/artwork_model.h"
#include "components/player/drawing/artwork_renderer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace vizmo::player;

void draw(const QByteArray& bytes)
{
    const auto artwork = readArtwork(bytes, QStringLiteral("f.svg"));
    if (!artwork.ok()) {
        if (artwork.error().number != vizmo::dispatch::err::InvalidFileFormat ||
            !artwork.error().description.startsWith(QStringLiteral("f.svg: ")))
            std::abort();
        return;
    }
    ArtworkRenderer renderer(artwork.value());
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    FacePose pose;
    for (int frame = 0; frame < 2; ++frame) {
        image.fill(Qt::black);
        QPainter painter(&image);
        renderer.paint(painter, image.rect(), pose, {{}, Qt::black, [](QPainter&) {}});
        pose.headX = 0.7, pose.headY = -0.4, pose.headZ = 0.5, pose.blink = 0.6, pose.breath = 1;
        pose.eyes[0] = {1, -1, 0.5}, pose.eyes[1] = {-1, 1, 0};
        pose.shoulderLeft = 1, pose.hairX = 0.5, pose.browRaise = 1;
        pose.expressions.fill(0.5);
        pose.mouth = lerp(visemeShape(1), visemeShape(10), 0.5);
    }
}

}  // namespace

// Rendering needs the fonts and painting of a GUI application (offscreen).
// It lives as long as the process: destroyed among the static objects, it
// would free its font caches after the leak check has counted them.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static const QGuiApplication* app = new QGuiApplication(*argc, *argv);
    return app ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    draw(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
