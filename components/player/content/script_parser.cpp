// Reads .qvs scripts: every statement is checked, keys are sorted by time per
// track, and the script is returned only when the whole file is valid.
#include "components/player/content/script.h"

#include "components/dispatch/error.h"
#include "components/player/content/missing_file.h"
#include "components/player/content/text_file.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace vizmo::player {

namespace {

const QString kMagic = QStringLiteral("QVS");
constexpr int kVersion = 1;
// Ten minutes: longer timelines are authoring mistakes, not scripts.
constexpr int kMaxLengthMs = 10 * 60 * 1000;
constexpr int kMaxPose = 255;

struct Parser {
    TextFile& file;
    QString baseDir;
    Script script;
    LoadError error;
    int lengthLine = 0;
    int audioLine = 0;
    int latestKeyMs = -1;
    int latestKeyLine = 0;
    int latestBlinkStartMs = -1;  // when the latest key is a blink's end

    bool time(const TextLine& line, int& out)
    {
        if (!readInt(file, line, 1, 0, kMaxLengthMs, out, error))
            return false;
        noteKey(out, line.number);
        return true;
    }

    void noteKey(int timeMs, int lineNumber, int blinkStartMs = -1)
    {
        if (timeMs > latestKeyMs)
            latestKeyMs = timeMs, latestKeyLine = lineNumber, latestBlinkStartMs = blinkStartMs;
    }

    bool pose(const TextLine& line, int index, double& out)
    {
        int value = 0;
        if (!readInt(file, line, index, -kMaxPose, kMaxPose, value, error))
            return false;
        out = value;
        return true;
    }

    bool statement(const TextLine& line)
    {
        const QStringView keyword = line.words[0];
        if (keyword == u"length") {
            if (lengthLine)
                return fail(line, QStringLiteral("\"length\" is given twice (first on line %1)").arg(lengthLine));
            lengthLine = line.number;
            return expectWords(file, line, 2, 2, error) &&
                   readInt(file, line, 1, 1, kMaxLengthMs, script.lengthMs, error);
        }
        if (keyword == u"title") {
            if (line.words.size() < 2)
                return fail(line, QStringLiteral("\"title\" needs a text"));
            script.title = line.rest(1);
            return true;
        }
        if (keyword == u"audio")
            return audio(line);
        if (keyword == u"expr") {
            ScalarKey key;
            if (!expectWords(file, line, 4, 4, error) || !time(line, key.timeMs))
                return false;
            const auto& names = expressionNames();
            const auto found = std::find(names.begin(), names.end(), line.words[2]);
            if (found == names.end())
                return fail(line, QStringLiteral("unknown expression \"%1\" (known: %2)")
                                      .arg(line.words[2], QStringList(names.begin(), names.end()).join(u' ')));
            if (!readReal(file, line, 3, 0.0, 1.0, key.value, error))
                return false;
            script.expressions[std::size_t(found - names.begin())].push_back(key);
            return true;
        }
        if (keyword == u"blink") {
            int at = 0;
            if (!expectWords(file, line, 2, 2, error) || !time(line, at))
                return false;
            // A natural blink: closing 100 ms, closed 50 ms, opening 150 ms.
            constexpr int kBlinkMs = 300;
            if (at > kMaxLengthMs - kBlinkMs)
                return fail(line, QStringLiteral("a blink at %1 ms ends at %2 ms, beyond the longest script of %3 ms")
                                      .arg(at)
                                      .arg(at + kBlinkMs)
                                      .arg(kMaxLengthMs));
            auto& keys = script.expressions[std::size_t(Expression::Blink)];
            keys.insert(keys.end(), {{at, 0.0}, {at + 100, 1.0}, {at + 150, 1.0}, {at + kBlinkMs, 0.0}});
            noteKey(at + kBlinkMs, line.number, at);
            return true;
        }
        if (keyword == u"head") {
            TripleKey key;
            return expectWords(file, line, 5, 5, error) && time(line, key.timeMs) && pose(line, 2, key.x) &&
                   pose(line, 3, key.y) && pose(line, 4, key.z) && (script.head.push_back(key), true);
        }
        if (keyword == u"eyes" || keyword == u"shoulders") {
            PairKey key;
            auto& track = keyword == u"eyes" ? script.eyes : script.shoulders;
            return expectWords(file, line, 4, 4, error) && time(line, key.timeMs) && pose(line, 2, key.a) &&
                   pose(line, 3, key.b) && (track.push_back(key), true);
        }
        if (keyword == u"viseme") {
            VisemeKey key;
            if (!expectWords(file, line, 3, 4, error) || !time(line, key.timeMs))
                return false;
            key.viseme = visemeIndex(line.words[2]);
            if (key.viseme < 0)
                return fail(line, QStringLiteral("unknown viseme \"%1\" (known: %2)")
                                      .arg(line.words[2], QStringList(visemeNames().begin(), visemeNames().end()).join(u' ')));
            if (line.words.size() == 4 && !readReal(file, line, 3, 0.0, 1.0, key.weight, error))
                return false;
            script.visemes.push_back(key);
            return true;
        }
        return fail(line, QStringLiteral("unknown keyword \"%1\"").arg(keyword));
    }

    bool audio(const TextLine& line)
    {
        if (audioLine)
            return fail(line, QStringLiteral("\"audio\" is given twice (first on line %1)").arg(audioLine));
        audioLine = line.number;
        if (line.words.size() < 2)
            return fail(line, QStringLiteral("\"audio\" needs a file name"));
        const QString name = line.rest(1);
        if (!name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive))
            return fail(line, QStringLiteral("the sound file \"%1\" is not a .wav file").arg(name));
        const QString path = QDir(baseDir).absoluteFilePath(name);
        if (!QFileInfo(path).isFile()) {
            error = {dispatch::err::FileNotFound,
                     fileNotFoundMessage(path) + QStringLiteral(" (%1: line %2)").arg(file.displayName).arg(line.number)};
            return false;
        }
        script.audioPath = path;
        return true;
    }

    bool fail(const TextLine& line, const QString& what)
    {
        error = lineError(file, line, what);
        return false;
    }

    bool finish()
    {
        if (lengthLine == 0) {
            if (latestKeyMs < 0) {
                error = {dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: line %2: the script has neither a \"length\" line nor keyframes")
                             .arg(file.displayName)
                             .arg(file.lastNumber())};
                return false;
            }
            script.lengthMs = std::max(1, latestKeyMs);
        } else if (latestKeyMs > script.lengthMs) {
            if (latestBlinkStartMs >= 0) {
                error = {dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: line %2: a blink at %3 ms ends at %4 ms, beyond the length of %5 ms")
                             .arg(file.displayName)
                             .arg(latestKeyLine)
                             .arg(latestBlinkStartMs)
                             .arg(latestKeyMs)
                             .arg(script.lengthMs)};
                return false;
            }
            error = {dispatch::err::InvalidFileFormat,
                     QStringLiteral("%1: line %2: a keyframe at %3 ms lies beyond the length of %4 ms")
                         .arg(file.displayName)
                         .arg(latestKeyLine)
                         .arg(latestKeyMs)
                         .arg(script.lengthMs)};
            return false;
        }
        auto byTime = [](const auto& a, const auto& b) { return a.timeMs < b.timeMs; };
        for (auto& track : script.expressions)
            std::stable_sort(track.begin(), track.end(), byTime);
        std::stable_sort(script.head.begin(), script.head.end(), byTime);
        std::stable_sort(script.eyes.begin(), script.eyes.end(), byTime);
        std::stable_sort(script.shoulders.begin(), script.shoulders.end(), byTime);
        std::stable_sort(script.visemes.begin(), script.visemes.end(), byTime);
        return true;
    }
};

LoadResult<Script> parse(TextFile& file, const QString& baseDir)
{
    Parser parser{file, baseDir, {}, {}};
    parser.script.fileName = file.displayName;
    TextLine line;
    while (file.next(line)) {
        if (!parser.statement(line))
            return parser.error;
    }
    if (!parser.finish())
        return parser.error;
    return std::move(parser.script);
}

}  // namespace

LoadResult<Script> loadScript(const QString& path)
{
    auto file = readTextFile(path, kMagic, kVersion);
    if (!file.ok())
        return file.error();
    return parse(file.value(), QFileInfo(path).absolutePath());
}

LoadResult<Script> parseScript(const QByteArray& bytes, const QString& displayName, const QString& baseDir)
{
    auto file = parseTextFile(bytes, displayName, kMagic, kVersion);
    if (!file.ok())
        return file.error();
    return parse(file.value(), baseDir);
}

}  // namespace vizmo::player
