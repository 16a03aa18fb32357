#include "components/player/content/layer_names.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <functional>

namespace vizmo::player {

namespace {

// An editor's copy suffix at the end of a name spelled as a layer's: "-6"
// (Inkscape), "-1" (Illustrator's "_1_"), "-copy" or "-copy-2".
QString withoutSuffix(QString name)
{
    static const QRegularExpression suffix(QStringLiteral("-(\\d+|copy)$"));
    for (QRegularExpressionMatch m = suffix.match(name); m.hasMatch(); m = suffix.match(name))
        name.chop(m.capturedLength());
    return name;
}

// The words of a name, each in the player's word for it, in order: used to
// find a name whose words are in another order or are other words.
QStringList wordsOf(const QString& spelled)
{
    static const QHash<QString, QString> synonyms = {
        {QStringLiteral("face"), QStringLiteral("head")},        {QStringLiteral("skull"), QStringLiteral("head")},
        {QStringLiteral("eyebrow"), QStringLiteral("brow")},     {QStringLiteral("eyelid"), QStringLiteral("lid")},
        {QStringLiteral("pupil"), QStringLiteral("iris")},       {QStringLiteral("eyelashes"), QStringLiteral("lashes")},
        {QStringLiteral("lash"), QStringLiteral("lashes")},      {QStringLiteral("ear"), QStringLiteral("ears")},
        {QStringLiteral("shoulders"), QStringLiteral("body")},   {QStringLiteral("torso"), QStringLiteral("body")},
        {QStringLiteral("clothes"), QStringLiteral("body")},     {QStringLiteral("glasses"), QStringLiteral("accessories")},
        {QStringLiteral("fringe"), QStringLiteral("front-hair")}, {QStringLiteral("bangs"), QStringLiteral("front-hair")},
        {QStringLiteral("mouth"), QStringLiteral("mouth-rest")}, {QStringLiteral("l"), QStringLiteral("left")},
        {QStringLiteral("r"), QStringLiteral("right")},
    };
    QStringList words;
    for (const QString& word : spelled.split(u'-', Qt::SkipEmptyParts))
        words += synonyms.value(word, word).split(u'-');
    words.sort();
    return words;
}

// Names of groups that hold two or more layers, and the layers they hold.
const std::vector<std::pair<QStringList, std::vector<ArtLayer>>>& groupNames()
{
    static const std::vector<std::pair<QStringList, std::vector<ArtLayer>>> table = {
        {{QStringLiteral("brows"), QStringLiteral("eyebrows")}, {ArtLayer::LeftBrow, ArtLayer::RightBrow}},
        {{QStringLiteral("eyes")}, {ArtLayer::LeftEyeWhite, ArtLayer::RightEyeWhite}},
        {{QStringLiteral("irises"), QStringLiteral("pupils")}, {ArtLayer::LeftEyeIris, ArtLayer::RightEyeIris}},
        {{QStringLiteral("lids"), QStringLiteral("eyelids")}, {ArtLayer::LeftEyeLid, ArtLayer::RightEyeLid}},
        {{QStringLiteral("lashes"), QStringLiteral("eyelashes")}, {ArtLayer::LeftEyeLashes, ArtLayer::RightEyeLashes}},
        {{QStringLiteral("mouths")}, {ArtLayer::MouthRest, ArtLayer::MouthOpen}},
        {{QStringLiteral("hair")}, {ArtLayer::FrontHair, ArtLayer::BackHair}},
    };
    return table;
}

QString quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

class LayerFinder {
public:
    explicit LayerFinder(const DrawingOutline& outline) : outline_(outline), eligible_(outline.elements.size())
    {
        std::vector<bool> definitions(outline.elements.size());
        for (std::size_t i = 0; i < outline.elements.size(); ++i) {
            const OutlineElement& e = outline.elements[i];
            definitions[i] = isDefinitionElement(e.tag) || (e.parent >= 0 && definitions[std::size_t(e.parent)]);
            // librsvg draws an element alone only by its id.
            eligible_[i] = i > 0 && !definitions[i] && !e.id.isEmpty();
            if (i > 0 && !definitions[i] && e.id.isEmpty())
                unnamed_.insert(int(i));
        }
        for (int i = 0; i < kArtLayerCount; ++i)
            wanted_.push_back(artLayerName(ArtLayer(i)));
        for (int i = 0; i < kArtMarkerCount; ++i)
            wanted_.push_back(artMarkerName(ArtMarker(i)));
        for (const QString& name : wanted_)
            wantedSet_.insert(name);
    }

    FoundLayers find()
    {
        std::vector<NamedElement> named(wanted_.size());
        claimed_.assign(outline_.elements.size(), false);
        // Tier by tier over every name, so that a plain match anywhere wins
        // over a near miss, and a label over an id.
        const std::array<std::function<std::vector<Key>(const OutlineElement&)>, 4> tiers = {
            [](const OutlineElement& e) -> std::vector<Key> {
                if (e.label.isEmpty())
                    return {};
                return {{e.label, e.label,
                         e.id == e.label       ? NameMatch::Id
                         : isGeneratedId(e.id) ? NameMatch::Label
                                               : NameMatch::RenamedLabel}};
            },
            [this](const OutlineElement& e) -> std::vector<Key> {
                // An id gives way to a label that names another layer.
                if (!e.label.isEmpty() && e.label != e.id && wantedSet_.contains(e.label))
                    return {};
                return {{e.id, e.id, e.label.isEmpty() || e.label == e.id ? NameMatch::Id : NameMatch::IdOverLabel}};
            },
            [](const OutlineElement& e) -> std::vector<Key> {
                return {{spelledAsLayer(e.label), e.label, NameMatch::Case}, {spelledAsLayer(e.id), e.id, NameMatch::Case}};
            },
            [](const OutlineElement& e) -> std::vector<Key> {
                return {{withoutSuffix(spelledAsLayer(e.label)), e.label, NameMatch::Suffix},
                        {withoutSuffix(spelledAsLayer(e.id)), e.id, NameMatch::Suffix}};
            },
        };
        for (const auto& keysOf : tiers) {
            for (std::size_t w = 0; w < wanted_.size(); ++w) {
                if (!named[w].found())
                    named[w] = take(wanted_[w], keysOf);
            }
        }
        FoundLayers out;
        for (int i = 0; i < kArtLayerCount; ++i)
            out.layers[std::size_t(i)] = named[std::size_t(i)];
        for (int i = 0; i < kArtMarkerCount; ++i)
            out.markers[std::size_t(i)] = named[std::size_t(kArtLayerCount + i)];
        for (std::size_t w = 0; w < wanted_.size(); ++w) {
            if (named[w].found())
                reportUnused(wanted_[w], named[w]);
        }
        reportGroups(out);
        reportOtherWords(out);
        reportUnnamed();
        out.nearMisses = std::move(notes_);
        std::stable_sort(out.nearMisses.begin(), out.nearMisses.end(),
                         [](const DrawingNote& a, const DrawingNote& b) { return a.line < b.line; });
        return out;
    }

private:
    // One way an element may be named: the name compared, as written, and the match it makes.
    struct Key {
        QString compared;
        QString written;
        NameMatch match;
    };

    NamedElement take(const QString& name, const std::function<std::vector<Key>(const OutlineElement&)>& keysOf)
    {
        NamedElement chosen;
        for (std::size_t i = 0; i < outline_.elements.size(); ++i) {
            const OutlineElement& e = outline_.elements[i];
            if (!eligible_[i] || claimed_[i])
                continue;
            const std::vector<Key> keys = keysOf(e);
            const auto key = std::find_if(keys.begin(), keys.end(),
                                          [&](const Key& k) { return !k.written.isEmpty() && k.compared == name; });
            if (key == keys.end())
                continue;
            if (!chosen.found()) {
                chosen = {int(i), key->match, key->written};
                claimed_[i] = true;
            } else if (!outline_.within(int(i), chosen.element)) {
                claimed_[i] = true;
                notes_.push_back({DrawingNote::Kind::Warning, e.line,
                                  QStringLiteral("%1 also looks like the layer %2, which is line %3's: only that one "
                                                 "is moved as it; rename or merge the other")
                                      .arg(quoted(key->written), quoted(name))
                                      .arg(outline_.elements[std::size_t(chosen.element)].line)});
            }
        }
        return chosen;
    }

    QString nameOf(const OutlineElement& e) const { return e.label.isEmpty() ? e.id : e.label; }

    // Other elements that would have been taken as the layer, had it not been
    // found already (outside it: parts of a layer may share its name).
    void reportUnused(const QString& name, const NamedElement& chosen)
    {
        for (std::size_t i = 0; i < outline_.elements.size(); ++i) {
            const OutlineElement& e = outline_.elements[i];
            if (!eligible_[i] || claimed_[i] || outline_.within(int(i), chosen.element))
                continue;
            for (const QString& written : {e.label, e.id}) {
                if (written.isEmpty() || withoutSuffix(spelledAsLayer(written)) != name)
                    continue;
                claimed_[i] = true;
                notes_.push_back({DrawingNote::Kind::Warning, e.line,
                                  QStringLiteral("%1 also looks like the layer %2, which is line %3's: only that one "
                                                 "is moved as it; rename or merge the other")
                                      .arg(quoted(written), quoted(name))
                                      .arg(outline_.elements[std::size_t(chosen.element)].line)});
                break;
            }
        }
    }

    // A group named for two layers ("brows") while those layers are missing.
    void reportGroups(const FoundLayers& found)
    {
        for (std::size_t i = 0; i < outline_.elements.size(); ++i) {
            const OutlineElement& e = outline_.elements[i];
            if (!eligible_[i] || claimed_[i])
                continue;
            const QString spelled = withoutSuffix(spelledAsLayer(nameOf(e)));
            for (const auto& [names, layers] : groupNames()) {
                if (!names.contains(spelled))
                    continue;
                QStringList missing;
                for (ArtLayer layer : layers) {
                    if (!found.layers[std::size_t(layer)].found())
                        missing << quoted(artLayerName(layer));
                }
                if (missing.isEmpty())
                    continue;
                claimed_[i] = true;
                notes_.push_back({DrawingNote::Kind::Warning, e.line,
                                  QStringLiteral("%1 holds two layers in one, which the player cannot move apart: "
                                                 "make %2 layers of their own")
                                      .arg(quoted(nameOf(e)), missing.join(QStringLiteral(" and ")))});
            }
        }
    }

    // A missing layer's words in another order, or in other words.
    void reportOtherWords(const FoundLayers& found)
    {
        for (int l = 0; l < kArtLayerCount; ++l) {
            if (found.layers[std::size_t(l)].found())
                continue;
            const QString name = artLayerName(ArtLayer(l));
            const QStringList words = wordsOf(name);
            for (std::size_t i = 0; i < outline_.elements.size(); ++i) {
                const OutlineElement& e = outline_.elements[i];
                if (!eligible_[i] || claimed_[i] || isGeneratedId(nameOf(e)))
                    continue;
                if (wordsOf(withoutSuffix(spelledAsLayer(nameOf(e)))) != words)
                    continue;
                claimed_[i] = true;
                notes_.push_back({DrawingNote::Kind::Warning, e.line,
                                  QStringLiteral("%1 looks like the layer %2, in other words: name it %2 to have it "
                                                 "moved as one")
                                      .arg(quoted(nameOf(e)), quoted(name))});
                break;
            }
        }
    }

    // A layer's label on an element without an id, which cannot be drawn alone.
    void reportUnnamed()
    {
        for (int i : unnamed_) {
            const OutlineElement& e = outline_.elements[std::size_t(i)];
            if (!e.label.isEmpty() && wantedSet_.contains(withoutSuffix(spelledAsLayer(e.label))))
                notes_.push_back({DrawingNote::Kind::Warning, e.line,
                                  QStringLiteral("%1 has no id, so it cannot be drawn on its own: give it one")
                                      .arg(quoted(e.label))});
        }
    }

    const DrawingOutline& outline_;
    std::vector<bool> eligible_;
    std::vector<bool> claimed_;
    QSet<int> unnamed_;
    std::vector<QString> wanted_;
    QSet<QString> wantedSet_;
    std::vector<DrawingNote> notes_;
};

}  // namespace

QString spelledAsLayer(const QString& written)
{
    QString s = written.toLower();
    // Illustrator writes the characters an id may not hold as _xHH_.
    s.replace(QStringLiteral("_x5f_"), QStringLiteral("_"));
    s.replace(QStringLiteral("_x2d_"), QStringLiteral("-"));
    s.replace(QStringLiteral("_x20_"), QStringLiteral(" "));
    QString out;
    for (const QChar c : s) {
        const bool separator = c == u'_' || c == u' ' || c == u'.' || c == u'-';
        if (!separator)
            out += c;
        else if (!out.isEmpty() && !out.endsWith(u'-'))
            out += u'-';
    }
    while (out.endsWith(u'-'))
        out.chop(1);
    return out;
}

bool isGeneratedId(const QString& id)
{
    static const QRegularExpression generated(QStringLiteral("^[A-Za-z]+[-_]?\\d+([-_]\\d+)*_?$"));
    return generated.match(id).hasMatch();
}

FoundLayers findLayers(const DrawingOutline& outline)
{
    return LayerFinder(outline).find();
}

DrawingNote describeMatch(const DrawingOutline& outline, const NamedElement& found, const QString& name)
{
    const OutlineElement& e = outline.elements[std::size_t(found.element)];
    const QString layer = QStringLiteral("layer %1").arg(quoted(name));
    switch (found.match) {
    case NameMatch::Id:
        return {DrawingNote::Kind::Layer, e.line,
                e.label.isEmpty() ? QStringLiteral("%1: found by its id").arg(layer)
                                  : QStringLiteral("%1: found by its id and its label").arg(layer)};
    case NameMatch::Label:
        return {DrawingNote::Kind::Layer, e.line,
                QStringLiteral("%1: found by its label (its id %2 was made by the editor; an export as plain SVG "
                               "drops labels, so keep the Inkscape SVG, or give it the id %3)")
                    .arg(layer, quoted(e.id), quoted(name))};
    case NameMatch::RenamedLabel:
        return {DrawingNote::Kind::Resolved, e.line,
                QStringLiteral("%1: found by its label, as the editor shows it; its id %2 is another word (an "
                               "old name kept through a rename?), and the label wins")
                    .arg(layer, quoted(e.id))};
    case NameMatch::IdOverLabel:
        return {DrawingNote::Kind::Resolved, e.line,
                QStringLiteral("%1: found by its id; its label %2 differs, and names no layer")
                    .arg(layer, quoted(e.label))};
    case NameMatch::Case:
        return {DrawingNote::Kind::Resolved, e.line,
                QStringLiteral("%1: taken from %2 (written in another case or with other separators)")
                    .arg(layer, quoted(found.written))};
    case NameMatch::Suffix:
        return {DrawingNote::Kind::Resolved, e.line,
                QStringLiteral("%1: taken from %2 (an editor's suffix)").arg(layer, quoted(found.written))};
    }
    return {};
}

}  // namespace vizmo::player
