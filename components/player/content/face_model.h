#pragma once
// One character's look, read from a .qvm file (docs/file-formats.md). The
// proportions are fractions 0..1 of the model's own range, so every value a
// file may hold draws a plausible face. A model may instead name a drawing
// of its own, which is then drawn in place of the built-in face.

#include "components/player/content/load_result.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

namespace vizmo::player {

struct Artwork;

enum class HairStyle { Bald, Short, Curly, Bob, Long, Bun };
enum class BeardStyle { None, Stubble, Moustache, Full };
enum class GlassesStyle { None, Round, Square };
enum class ClothesStyle { TShirt, Collar, Sweater, VNeck };

struct FaceModel {
    QString name;

    double faceWidth = 0.5;   // narrow .. broad
    double jaw = 0.5;         // pointed .. square
    double chin = 0.5;        // short .. long
    QColor skin{0xe8, 0xb8, 0x96};
    QColor blush{0xe0, 0x80, 0x78};
    double blushStrength = 0.3;

    HairStyle hairStyle = HairStyle::Short;
    QColor hairColor{0x4a, 0x30, 0x20};
    double hairVolume = 0.5;

    QColor eyeColor{0x4a, 0x70, 0x98};
    double eyeSize = 0.5;
    double eyeSpacing = 0.5;
    QColor browColor{0x3a, 0x26, 0x18};
    double browThickness = 0.5;
    double browArch = 0.5;

    double noseLength = 0.5;
    double noseWidth = 0.5;
    double mouthWidth = 0.5;
    double lipFullness = 0.5;
    QColor lipColor{0xb8, 0x60, 0x60};
    double earSize = 0.5;

    double neckWidth = 0.5;
    double shoulderWidth = 0.5;
    ClothesStyle clothesStyle = ClothesStyle::TShirt;
    QColor clothesColor{0x38, 0x58, 0x98};
    QColor clothesAccent{0xe8, 0xe8, 0xe8};

    BeardStyle beardStyle = BeardStyle::None;
    GlassesStyle glassesStyle = GlassesStyle::None;
    QColor glassesColor{0x30, 0x30, 0x30};

    // The drawing of a "drawing" statement, drawn instead of the face the
    // measures above describe; null for the built-in face.
    std::shared_ptr<const Artwork> artwork;
};

// The face shown before any model is loaded.
FaceModel defaultFaceModel();

// Reads a model, and the drawing it names from the model's folder.
LoadResult<FaceModel> loadFaceModel(const QString& path);
// Reads the drawing a model's "drawing" statement names.
using DrawingLoader = std::function<LoadResult<std::shared_ptr<const Artwork>>(const QString& fileName)>;
// The same for a model already in memory; without `loadDrawing` a "drawing"
// statement is checked but its drawing is not read.
LoadResult<FaceModel> parseFaceModel(const QByteArray& bytes, const QString& displayName,
                                     const DrawingLoader& loadDrawing = {});

}  // namespace vizmo::player
