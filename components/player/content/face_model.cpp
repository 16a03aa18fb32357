#include "components/player/content/face_model.h"

#include "components/dispatch/error.h"
#include "components/player/content/text_file.h"

#include <QSet>

#include <functional>
#include <map>

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

LoadResult<FaceModel> parse(TextFile& file)
{
    FaceModel model;
    QSet<QString> seen;
    LoadError error;
    TextLine line;
    while (file.next(line)) {
        const QString key = line.words[0].toString();
        const auto reader = readers().find(key);
        if (reader == readers().end())
            return lineError(file, line, QStringLiteral("unknown keyword \"%1\"").arg(key));
        if (seen.contains(key))
            return lineError(file, line, QStringLiteral("\"%1\" is given twice").arg(key));
        seen.insert(key);
        if (!reader->second(file, line, model, error))
            return error;
    }
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
    return parse(file.value());
}

LoadResult<FaceModel> parseFaceModel(const QByteArray& bytes, const QString& displayName)
{
    auto file = parseTextFile(bytes, displayName, kMagic, kVersion);
    if (!file.ok())
        return file.error();
    return parse(file.value());
}

}  // namespace vizmo::player
