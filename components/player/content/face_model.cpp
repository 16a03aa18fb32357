#include "components/player/content/face_model.h"

#include "components/dispatch/error.h"
#include "components/player/content/artwork_model.h"
#include "components/player/content/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <functional>
#include <map>
#include <optional>

namespace vizmo::player {

namespace {

const QString kMagic = QStringLiteral("QVM");
constexpr int kVersion = 1;

using Reader = std::function<bool(const TextFile&, const TextLine&, FaceModel&, LoadError&)>;

Reader real(double FaceModel::*member)
{
    return [member](const TextFile& f, const TextLine& l, FaceModel& m, LoadError& e) {
        return expectWords(f, l, 2, 2, e) && readReal(f, l, 1, 0.0, 1.0, m.*member, e);
    };
}

Reader color(QColor FaceModel::*member)
{
    return [member](const TextFile& f, const TextLine& l, FaceModel& m, LoadError& e) {
        return expectWords(f, l, 2, 2, e) && readColor(f, l, 1, m.*member, e);
    };
}

template <typename E>
Reader choice(E FaceModel::*member, std::vector<std::pair<QString, E>> names)
{
    return [member, names](const TextFile& f, const TextLine& l, FaceModel& m, LoadError& e) {
        if (!expectWords(f, l, 2, 2, e))
            return false;
        QStringList known;
        for (const auto& [name, value] : names) {
            if (l.words[1] == name) {
                m.*member = value;
                return true;
            }
            known << name;
        }
        e = lineError(f, l, QStringLiteral("\"%1\" is not one of: %2").arg(l.words[1], known.join(u' ')));
        return false;
    };
}

const std::map<QString, Reader>& readers()
{
    static const std::map<QString, Reader> table = {
        {QStringLiteral("name"),
         [](const TextFile& f, const TextLine& l, FaceModel& m, LoadError& e) {
             if (l.words.size() < 2) {
                 e = lineError(f, l, QStringLiteral("\"name\" needs a name"));
                 return false;
             }
             m.name = l.rest(1);
             return true;
         }},
        {QStringLiteral("face.width"), real(&FaceModel::faceWidth)},
        {QStringLiteral("face.jaw"), real(&FaceModel::jaw)},
        {QStringLiteral("face.chin"), real(&FaceModel::chin)},
        {QStringLiteral("skin.color"), color(&FaceModel::skin)},
        {QStringLiteral("skin.blush"), color(&FaceModel::blush)},
        {QStringLiteral("skin.blush_strength"), real(&FaceModel::blushStrength)},
        {QStringLiteral("hair.style"),
         choice<HairStyle>(&FaceModel::hairStyle, {{QStringLiteral("bald"), HairStyle::Bald},
                                                   {QStringLiteral("short"), HairStyle::Short},
                                                   {QStringLiteral("curly"), HairStyle::Curly},
                                                   {QStringLiteral("bob"), HairStyle::Bob},
                                                   {QStringLiteral("long"), HairStyle::Long},
                                                   {QStringLiteral("bun"), HairStyle::Bun}})},
        {QStringLiteral("hair.color"), color(&FaceModel::hairColor)},
        {QStringLiteral("hair.volume"), real(&FaceModel::hairVolume)},
        {QStringLiteral("eyes.color"), color(&FaceModel::eyeColor)},
        {QStringLiteral("eyes.size"), real(&FaceModel::eyeSize)},
        {QStringLiteral("eyes.spacing"), real(&FaceModel::eyeSpacing)},
        {QStringLiteral("brows.color"), color(&FaceModel::browColor)},
        {QStringLiteral("brows.thickness"), real(&FaceModel::browThickness)},
        {QStringLiteral("brows.arch"), real(&FaceModel::browArch)},
        {QStringLiteral("nose.length"), real(&FaceModel::noseLength)},
        {QStringLiteral("nose.width"), real(&FaceModel::noseWidth)},
        {QStringLiteral("mouth.width"), real(&FaceModel::mouthWidth)},
        {QStringLiteral("lips.color"), color(&FaceModel::lipColor)},
        {QStringLiteral("lips.fullness"), real(&FaceModel::lipFullness)},
        {QStringLiteral("ears.size"), real(&FaceModel::earSize)},
        {QStringLiteral("neck.width"), real(&FaceModel::neckWidth)},
        {QStringLiteral("shoulders.width"), real(&FaceModel::shoulderWidth)},
        {QStringLiteral("clothes.style"),
         choice<ClothesStyle>(&FaceModel::clothesStyle, {{QStringLiteral("tshirt"), ClothesStyle::TShirt},
                                                         {QStringLiteral("collar"), ClothesStyle::Collar},
                                                         {QStringLiteral("sweater"), ClothesStyle::Sweater},
                                                         {QStringLiteral("vneck"), ClothesStyle::VNeck}})},
        {QStringLiteral("clothes.color"), color(&FaceModel::clothesColor)},
        {QStringLiteral("clothes.accent"), color(&FaceModel::clothesAccent)},
        {QStringLiteral("beard.style"),
         choice<BeardStyle>(&FaceModel::beardStyle, {{QStringLiteral("none"), BeardStyle::None},
                                                     {QStringLiteral("stubble"), BeardStyle::Stubble},
                                                     {QStringLiteral("moustache"), BeardStyle::Moustache},
                                                     {QStringLiteral("full"), BeardStyle::Full}})},
        {QStringLiteral("glasses.style"),
         choice<GlassesStyle>(&FaceModel::glassesStyle, {{QStringLiteral("none"), GlassesStyle::None},
                                                         {QStringLiteral("round"), GlassesStyle::Round},
                                                         {QStringLiteral("square"), GlassesStyle::Square}})},
        {QStringLiteral("glasses.color"), color(&FaceModel::glassesColor)},
    };
    return table;
}

const QString kDrawing = QStringLiteral("drawing");

// "drawing <file.svg>": the drawing, from the model's folder, with the
// model's line added to what refuses it.
bool readDrawing(const TextFile& file, const TextLine& line, const DrawingLoader& load, FaceModel& model,
                 LoadError& error)
{
    if (line.words.size() < 2) {
        error = lineError(file, line, QStringLiteral("\"drawing\" needs a file name"));
        return false;
    }
    const QString name = line.rest(1);
    if (!name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        error = lineError(file, line, QStringLiteral("the drawing \"%1\" is not an .svg file").arg(name));
        return false;
    }
    if (!load)
        return true;
    auto drawing = load(name);
    if (!drawing.ok()) {
        error = drawing.error();
        error.description += QStringLiteral(" (%1: line %2)").arg(file.displayName).arg(line.number);
        return false;
    }
    model.artwork = std::move(drawing.value());
    return true;
}

LoadResult<FaceModel> parse(TextFile& file, const DrawingLoader& loadDrawing)
{
    FaceModel model;
    QSet<QString> seen;
    LoadError error;
    TextLine line;
    int drawingLine = 0;
    std::optional<TextLine> firstLook;  // the first statement about the built-in face's look
    while (file.next(line)) {
        const QString key = line.words[0].toString();
        const auto reader = readers().find(key);
        if (reader == readers().end() && key != kDrawing)
            return lineError(file, line, QStringLiteral("unknown keyword \"%1\"").arg(key));
        if (seen.contains(key))
            return lineError(file, line, QStringLiteral("\"%1\" is given twice").arg(key));
        seen.insert(key);
        if (key == kDrawing) {
            drawingLine = line.number;
            if (!readDrawing(file, line, loadDrawing, model, error))
                return error;
            continue;
        }
        if (key != QStringLiteral("name") && !firstLook)
            firstLook = line;
        if (!reader->second(file, line, model, error))
            return error;
    }
    // A drawing brings its own look: measures beside it would be silently
    // ignored, so they are refused.
    if (drawingLine && firstLook)
        return lineError(file, *firstLook,
                         QStringLiteral("\"%1\" shapes the built-in face, and this model is a drawing (line %2)")
                             .arg(firstLook->words[0])
                             .arg(drawingLine));
    if (model.name.isEmpty()) {
        const int last = file.lastNumber();
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: line %2: the model has no \"name\" line").arg(file.displayName).arg(last)};
    }
    return model;
}

}  // namespace

FaceModel defaultFaceModel()
{
    FaceModel model;
    model.name = QStringLiteral("Default");
    return model;
}

LoadResult<FaceModel> loadFaceModel(const QString& path)
{
    auto file = readTextFile(path, kMagic, kVersion);
    if (!file.ok())
        return file.error();
    const QDir folder = QFileInfo(path).dir();
    return parse(file.value(), [folder](const QString& name) { return loadArtwork(folder.absoluteFilePath(name)); });
}

LoadResult<FaceModel> parseFaceModel(const QByteArray& bytes, const QString& displayName,
                                     const DrawingLoader& loadDrawing)
{
    auto file = parseTextFile(bytes, displayName, kMagic, kVersion);
    if (!file.ok())
        return file.error();
    return parse(file.value(), loadDrawing);
}

}  // namespace vizmo::player
