#include "character_check.h"

#include "components/dispatch/error.h"
#include "components/player/content/artwork_model.h"
#include "components/player/content/face_model.h"
#include "components/player/drawing/artwork_renderer.h"
#include "components/player/motion/face_pose.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace vizmo::tools {

namespace {

using namespace vizmo::player;

player::LoadResult<std::shared_ptr<const Artwork>> loadCharacter(const QString& model, QString* drawingPath)
{
    if (model.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        *drawingPath = model;
        return loadArtwork(model);
    }
    auto face = loadFaceModel(model);
    if (!face.ok())
        return face.error();
    if (!face.value().artwork)
        return LoadError{dispatch::err::InvalidFileFormat, QStringLiteral("%1 is a built-in face, not a drawing").arg(QFileInfo(model).fileName())};
    *drawingPath = QFileInfo(model).dir().filePath(face.value().artwork->fileName);
    return face.value().artwork;
}

const char* kindWord(DrawingNote::Kind kind)
{
    switch (kind) {
    case DrawingNote::Kind::Layer: return "found";
    case DrawingNote::Kind::Resolved: return "resolved";
    case DrawingNote::Kind::Missing: return "missing";
    case DrawingNote::Kind::Warning: return "warning";
    }
    return "";
}

}  // namespace

int checkCharacter(const QString& model)
{
    QString drawing;
    const auto art = loadCharacter(model, &drawing);
    if (!art.ok()) {
        std::printf("%s: error %d: %s\n", qPrintable(QFileInfo(model).fileName()), art.error().number,
                    qPrintable(art.error().description));
        return 1;
    }
    const Artwork& a = *art.value();
    int warnings = 0, resolved = 0;
    for (const DrawingNote& note : a.notes) {
        const QString where = note.line > 0 ? QStringLiteral("%1:%2").arg(a.fileName).arg(note.line) : a.fileName;
        std::printf("%s: %s: %s\n", qPrintable(where), kindWord(note.kind), qPrintable(note.text));
        warnings += note.kind == DrawingNote::Kind::Warning;
        resolved += note.kind == DrawingNote::Kind::Resolved;
    }
    std::printf("%s: %d layers moved, %d near misses resolved, %d warnings\n", qPrintable(a.fileName),
                int(a.stacking.size()), resolved, warnings);
    return 0;
}

int compareAtRest(const QString& model, int side, const QString& saveTo)
{
    QString drawing;
    const auto art = loadCharacter(model, &drawing);
    if (!art.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(art.error().description));
        return 1;
    }
    const Artwork& a = *art.value();
    const QRectF area(0, 0, side, side);
    // The player's frame at rest, over white.
    QImage ours(side, side, QImage::Format_ARGB32_Premultiplied);
    ours.fill(Qt::white);
    {
        QPainter painter(&ours);
        ArtworkRenderer renderer(art.value());
        renderer.paint(painter, area, FacePose{}, {{}, Qt::white, [](QPainter&) {}});
    }
    // rsvg-convert of the file, placed as the player places it, without
    // what the player does not show at rest.
    QTemporaryDir work;
    QStringList hidden;
    const ArtworkFrame rest = poseArtwork(a.geometry, FacePose{});
    for (int i = 0; i < kArtLayerCount; ++i) {
        const auto layer = ArtLayer(i);
        const bool unshownMouth = isMouthLayer(layer) && layer != rest.mouthShape;
        const bool lid = layer == ArtLayer::LeftEyeLid || layer == ArtLayer::RightEyeLid;
        if (!a.ids[std::size_t(i)].isEmpty() && (unshownMouth || lid))
            hidden << SvgDocument::selectorOf(a.ids[std::size_t(i)]);
    }
    const QString css = work.filePath(QStringLiteral("rest.css")), png = work.filePath(QStringLiteral("rsvg.png"));
    QFile sheet(css);
    if (!sheet.open(QIODevice::WriteOnly))
        return 1;
    if (!hidden.isEmpty())
        sheet.write(hidden.join(QStringLiteral(", ")).toUtf8() + " { display: none !important; }\n");
    sheet.close();
    const QTransform place = artworkPlacement(a.geometry, area);
    const QRectF page = place.mapRect(a.geometry.page);
    const QStringList arguments = {
        QStringLiteral("--stylesheet=%1").arg(css),
        QStringLiteral("--width=%1").arg(page.width(), 0, 'f', 4),
        QStringLiteral("--height=%1").arg(page.height(), 0, 'f', 4),
        QStringLiteral("--left=%1").arg(page.left(), 0, 'f', 4),
        QStringLiteral("--top=%1").arg(page.top(), 0, 'f', 4),
        QStringLiteral("--page-width=%1").arg(side),
        QStringLiteral("--page-height=%1").arg(side),
        QStringLiteral("--background-color=white"),
        QStringLiteral("--output=%1").arg(png),
        drawing,
    };
    std::printf("rsvg-convert %s\n", qPrintable(arguments.join(u' ')));
    if (QProcess::execute(QStringLiteral("rsvg-convert"), arguments) != 0) {
        std::fprintf(stderr, "rsvg-convert failed\n");
        return 1;
    }
    const QImage theirs = QImage(png).convertToFormat(QImage::Format_RGB32);
    const QImage mine = ours.convertToFormat(QImage::Format_RGB32);
    if (theirs.size() != mine.size())
        return 1;
    QImage difference(mine.size(), QImage::Format_RGB32);
    qint64 differing = 0, drawn = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const QRgb p = mine.pixel(x, y), q = theirs.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            differing += d > 48;
            drawn += p != qRgb(255, 255, 255) || q != qRgb(255, 255, 255);
            difference.setPixel(x, y, d > 48 ? qRgb(255, 0, 0) : qRgb(255 - d, 255 - d, 255 - d));
        }
    }
    std::printf("%s at rest, %d x %d: %.3f %% of the pixels differ by more than 48 levels from rsvg-convert's "
                "(%.3f %% of the %lld drawn by either)\n",
                qPrintable(a.fileName), side, side, 100.0 * double(differing) / (double(side) * side),
                drawn ? 100.0 * double(differing) / double(drawn) : 0.0, drawn);
    if (!saveTo.isEmpty()) {
        QDir().mkpath(saveTo);
        const QString stem = QFileInfo(a.fileName).completeBaseName();
        mine.save(QDir(saveTo).filePath(stem + QStringLiteral("-player.png")));
        theirs.save(QDir(saveTo).filePath(stem + QStringLiteral("-rsvg.png")));
        difference.save(QDir(saveTo).filePath(stem + QStringLiteral("-difference.png")));
    }
    return 0;
}

}  // namespace vizmo::tools
