#include "components/player/content/svg_safety.h"

#include "components/dispatch/error.h"

#include <QSet>
#include <QXmlStreamReader>

#include <vector>

namespace vizmo::player {

namespace {

QStringView localName(QStringView qualified)
{
    const qsizetype colon = qualified.lastIndexOf(u':');
    return colon < 0 ? qualified : qualified.mid(colon + 1);
}

// The first target of a url(...) in `text` that is not a fragment of this
// file ("#gradient"), or an empty string when there is none.
QString outsideUrl(QStringView text)
{
    for (qsizetype at = text.indexOf(u"url(", 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(u"url(", at + 4, Qt::CaseInsensitive)) {
        QStringView target = text.mid(at + 4);
        const qsizetype close = target.indexOf(u')');
        target = (close < 0 ? target : target.left(close)).trimmed();
        const auto quote = [](QChar c) { return c == u'"' || c == u'\''; };
        while (!target.isEmpty() && quote(target.front()))
            target = target.mid(1).trimmed();
        while (!target.isEmpty() && quote(target.back()))
            target = target.chopped(1).trimmed();
        if (!target.isEmpty() && !target.startsWith(u'#'))
            return target.toString();
    }
    return {};
}

// One element still open, for what <use> may repeat of it.
struct OpenElement {
    QString id;
    int index = 0;          // the element's number in document order
    bool holdsUse = false;  // it is a <use> or has one inside
};

// The value `property` takes in a style attribute ("fill:red; opacity:0"),
// or in the attribute of that name, trimmed and in lower case.
QString propertyOf(const QXmlStreamAttributes& attributes, QStringView property)
{
    QString value = attributes.value(property.toString()).trimmed().toString();
    const QString style = attributes.value(QStringLiteral("style")).toString();
    for (const QString& declaration : style.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon > 0 && QStringView(declaration).left(colon).trimmed().compare(property, Qt::CaseInsensitive) == 0)
            value = declaration.mid(colon + 1).trimmed();
    }
    value = value.toLower();
    if (value.endsWith(QStringLiteral("!important")))
        value = value.chopped(10).trimmed();
    return value;
}

bool hides(const QXmlStreamAttributes& attributes)
{
    if (propertyOf(attributes, u"display") == u"none" || propertyOf(attributes, u"visibility") == u"hidden")
        return true;
    // Opacity 0, as a number or a percentage, draws nothing.
    QString opacity = propertyOf(attributes, u"opacity");
    const bool percent = opacity.endsWith(u'%');
    bool number = false;
    const double value = (percent ? opacity.chopped(1) : opacity).toDouble(&number);
    return number && value <= 0.0;
}

struct Subtree {
    int elements = 0;
    bool holdsUse = false;
};

struct UseOf {
    QString id;
    qint64 line = 0;
};

class DrawingCheck {
public:
    DrawingCheck(const QByteArray& bytes, const QString& displayName) : xml_(bytes), name_(displayName)
    {
        // Prefixes are kept as part of the names: "inkscape:label".
        xml_.setNamespaceProcessing(false);
    }

    LoadResult<DrawingOutline> run()
    {
        while (!xml_.atEnd() && error_.isEmpty()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::DTD: dtd(); break;
            case QXmlStreamReader::ProcessingInstruction:
                if (xml_.processingInstructionTarget().compare(u"xml-stylesheet", Qt::CaseInsensitive) == 0)
                    fail(QStringLiteral("it links a style sheet (<?xml-stylesheet?>), which is not read"));
                break;
            case QXmlStreamReader::StartElement: start(); break;
            case QXmlStreamReader::EndElement: end(); break;
            case QXmlStreamReader::Characters:
                if (styleDepth_ > 0)
                    styleText(xml_.text());
                break;
            default: break;
            }
        }
        if (error_.isEmpty() && outline_.elements.empty())
            fail(QStringLiteral("it holds no SVG drawing"));
        if (error_.isEmpty() && xml_.hasError())
            fail(QStringLiteral("%1 (it is not well-formed XML)").arg(xml_.errorString()));
        if (error_.isEmpty())
            checkRepeats();
        if (!error_.isEmpty())
            return LoadError{dispatch::err::InvalidFileFormat, error_};
        return outline_;
    }

private:
    void fail(const QString& what, qint64 line = -1)
    {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1: line %2: %3").arg(name_).arg(line < 0 ? xml_.lineNumber() : line).arg(what);
    }

    // Entities can expand a small file into a huge one, or name a file of
    // this machine: a drawing that declares any is not read.
    void dtd()
    {
        if (!xml_.entityDeclarations().isEmpty() || !xml_.notationDeclarations().isEmpty())
            fail(QStringLiteral("it declares entities (<!ENTITY>), which are not read: save it as plain SVG"));
    }

    void start()
    {
        const QStringView element = localName(xml_.qualifiedName());
        const int index = int(outline_.elements.size());
        if (index == 0) {
            if (element != u"svg")
                return fail(QStringLiteral("it is not an SVG drawing (its first element is <%1>)").arg(element));
            const QXmlStreamAttributes root = xml_.attributes();
            outline_.sized = root.hasAttribute(QStringLiteral("viewBox")) ||
                             (root.hasAttribute(QStringLiteral("width")) && root.hasAttribute(QStringLiteral("height")));
        }
        if (index >= kMaxDrawingElements)
            return fail(QStringLiteral("it has more than %1 elements").arg(kMaxDrawingElements));
        if (int(open_.size()) >= kMaxDrawingDepth)
            return fail(QStringLiteral("its elements are nested more than %1 deep").arg(kMaxDrawingDepth));
        if (element == u"image")
            return fail(QStringLiteral("it holds a picture (<image>); only shapes are drawn: trace the picture or "
                                       "leave it out"));
        const QXmlStreamAttributes attributes = xml_.attributes();
        const int parent = open_.empty() ? -1 : open_.back().index;
        OutlineElement outlined;
        outlined.tag = element.toString();
        outlined.id = attributes.value(QStringLiteral("id")).trimmed().toString();
        outlined.label = attributes.value(QStringLiteral("inkscape:label")).trimmed().toString();
        outlined.parent = parent;
        outlined.line = int(xml_.lineNumber());
        const QString mask = propertyOf(attributes, u"mask");
        outlined.masks = !mask.isEmpty() && mask != u"none";
        outlined.hidden = (parent >= 0 && outline_.elements[std::size_t(parent)].hidden) || hides(attributes);
        OpenElement opened{outlined.id, index, element == u"use"};
        for (const QXmlStreamAttribute& attribute : attributes) {
            const QStringView value = attribute.value();
            if (localName(attribute.qualifiedName()) == u"href")
                href(element, value.trimmed(), opened.holdsUse);
            const QString url = outsideUrl(value);
            if (!url.isEmpty())
                fail(QStringLiteral("<%1> refers to \"%2\" outside the drawing, which is not followed").arg(element, url));
        }
        if (opened.holdsUse) {
            for (OpenElement& outer : open_)
                outer.holdsUse = true;
        }
        if (element == u"style" || styleDepth_ > 0)
            ++styleDepth_;
        outline_.elements.push_back(std::move(outlined));
        open_.push_back(std::move(opened));
    }

    void href(QStringView element, QStringView target, bool isUse)
    {
        if (target.startsWith(u'#')) {
            if (isUse)
                uses_.push_back({target.mid(1).toString(), xml_.lineNumber()});
            return;
        }
        // A hyperlink is not followed by drawing.
        if (element == u"a")
            return;
        fail(QStringLiteral("<%1> refers to \"%2\" outside the drawing, which is not followed").arg(element, target));
    }

    void styleText(QStringView css)
    {
        for (const QStringView rule : {QStringView(u"@import"), QStringView(u"@font-face")}) {
            if (css.contains(rule, Qt::CaseInsensitive))
                return fail(QStringLiteral("its style sheet has %1, which is not followed").arg(rule));
        }
        const QString url = outsideUrl(css);
        if (!url.isEmpty())
            fail(QStringLiteral("its style sheet refers to \"%1\" outside the drawing, which is not followed").arg(url));
    }

    void end()
    {
        if (open_.empty())
            return;
        const OpenElement closed = std::move(open_.back());
        open_.pop_back();
        if (styleDepth_ > 0)
            --styleDepth_;
        if (!closed.id.isEmpty() && !subtrees_.contains(closed.id))
            subtrees_.insert(closed.id, {int(outline_.elements.size()) - closed.index, closed.holdsUse});
    }

    // A <use> draws its target again: one that repeats a <use> could
    // multiply without end, so only elements without one are repeated.
    void checkRepeats()
    {
        qint64 drawn = qint64(outline_.elements.size());
        for (const UseOf& use : uses_) {
            const auto target = subtrees_.constFind(use.id);
            if (target == subtrees_.cend())
                continue;  // drawn as nothing
            if (target->holdsUse)
                return fail(QStringLiteral("<use> repeats \"%1\", which holds a <use> itself; repeats of repeats are "
                                           "not drawn")
                                .arg(use.id),
                            use.line);
            drawn += target->elements;
            if (drawn > kMaxDrawnElements)
                return fail(QStringLiteral("with its repeats (<use>) it draws more than %1 elements").arg(kMaxDrawnElements),
                            use.line);
        }
    }

    QXmlStreamReader xml_;
    QString name_;
    QString error_;
    DrawingOutline outline_;
    std::vector<OpenElement> open_;
    int styleDepth_ = 0;
    QHash<QString, Subtree> subtrees_;
    std::vector<UseOf> uses_;
};

}  // namespace

bool isDefinitionElement(const QString& tag)
{
    static const QSet<QString> tags = {
        QStringLiteral("defs"),           QStringLiteral("symbol"),         QStringLiteral("clipPath"),
        QStringLiteral("mask"),           QStringLiteral("pattern"),        QStringLiteral("marker"),
        QStringLiteral("filter"),         QStringLiteral("linearGradient"), QStringLiteral("radialGradient"),
        QStringLiteral("style"),          QStringLiteral("title"),          QStringLiteral("desc"),
        QStringLiteral("metadata"),       QStringLiteral("namedview"),      QStringLiteral("font"),
    };
    return tags.contains(tag);
}

bool DrawingOutline::within(int element, int group) const
{
    for (int at = element; at >= 0; at = elements[std::size_t(at)].parent) {
        if (at == group)
            return true;
    }
    return false;
}

LoadResult<DrawingOutline> checkDrawing(const QByteArray& bytes, const QString& displayName)
{
    if (bytes.size() > kMaxDrawingBytes)
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: the drawing is larger than %2 bytes").arg(displayName).arg(kMaxDrawingBytes)};
    return DrawingCheck(bytes, displayName).run();
}

}  // namespace vizmo::player
