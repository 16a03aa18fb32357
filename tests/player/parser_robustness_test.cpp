// Damaged files never crash the player: thousands of mutations of the sample
// models and scripts either load whole or are refused with error 321 naming
// the file (a script whose sound file name was damaged: 53, naming both), and
// every model that loads can be drawn.

#include "components/player/face_model.h"
#include "components/player/face_renderer.h"
#include "components/player/script.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <random>

using namespace vizmo::player;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One random damage of the kinds a file meets: flipped or inserted bytes,
// lost or doubled lines, cut-off ends, numbers blown out of range.
QByteArray mutate(QByteArray bytes, std::mt19937& rng)
{
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, std::max(0, n - 1))(rng)); };
    QList<QByteArray> lines = bytes.split('\n');
    switch (pick(7)) {
    case 0:
        if (!bytes.isEmpty())
            bytes[pick(int(bytes.size()))] = char(pick(256));
        return bytes;
    case 1: {
        static const char* junk[] = {"\0", "\xff\xfe", "\xc3", " # ", "\t", "-", "1e999", "nan", "#zzzzzz"};
        const char* j = junk[pick(9)];
        bytes.insert(pick(int(bytes.size()) + 1), QByteArray(j, j[0] ? int(qstrlen(j)) : 1));
        return bytes;
    }
    case 2:
        if (lines.size() > 1)
            lines.removeAt(pick(int(lines.size())));
        return lines.join('\n');
    case 3: {
        const int i = pick(int(lines.size()));
        lines.insert(i, lines.value(i));
        return lines.join('\n');
    }
    case 4:
        return bytes.left(pick(int(bytes.size()) + 1));
    case 5: {
        static const char* numbers[] = {"-1", "2", "99999999999", "-2147483649", "0.5e3", "1,5", ""};
        const int i = pick(int(lines.size()));
        QList<QByteArray> words = lines[i].split(' ');
        if (words.size() > 1)
            words[pick(int(words.size()) - 1) + 1] = numbers[pick(7)];
        lines[i] = words.join(' ');
        return lines.join('\n');
    }
    default:
        return bytes.repeated(2);  // a second magic line in the middle
    }
}

QStringList samples(const char* folder, const char* pattern)
{
    QStringList out;
    const QDir dir(QStringLiteral(VIZMO_CONTENT_DIR) + QLatin1Char('/') + QLatin1String(folder));
    for (const QString& name : dir.entryList({QLatin1String(pattern)}, QDir::Files))
        out << dir.filePath(name);
    return out;
}

}  // namespace

TEST(ParserRobustness, DamagedModelsLoadWholeOrAreRefusedWithTheirNameAndAllThatLoadCanBeDrawn)
{
    const QStringList files = samples("qvm", "*.qvm");
    ASSERT_FALSE(files.isEmpty());
    std::mt19937 rng(20261207);
    QImage frame(96, 96, QImage::Format_ARGB32_Premultiplied);
    int refused = 0;
    for (const QString& path : files) {
        const QByteArray original = readAll(path);
        for (int i = 0; i < 400; ++i) {
            const QByteArray damaged = mutate(original, rng);
            const LoadResult<FaceModel> result = parseFaceModel(damaged, QStringLiteral("damaged.qvm"));
            if (!result.ok()) {
                ++refused;
                EXPECT_EQ(result.error().number, 321) << result.error().description.toStdString();
                EXPECT_TRUE(result.error().description.startsWith("damaged.qvm")) << result.error().description.toStdString();
                continue;
            }
            QPainter painter(&frame);
            drawFace(painter, QRectF(0, 0, 96, 96), result.value(), FacePose{});
        }
    }
    EXPECT_GT(refused, 0) << "the damage never reached the parser's checks";
}

TEST(ParserRobustness, DamagedScriptsLoadWholeOrAreRefusedWithTheirName)
{
    const QStringList files = samples("qvs", "*.qvs");
    ASSERT_FALSE(files.isEmpty());
    std::mt19937 rng(7);
    int refused = 0;
    for (const QString& path : files) {
        const QByteArray original = readAll(path);
        const QString base = QFileInfo(path).absolutePath();
        for (int i = 0; i < 150; ++i) {
            const LoadResult<Script> result = parseScript(mutate(original, rng), QStringLiteral("damaged.qvs"), base);
            if (result.ok()) {
                EXPECT_GT(result.value().lengthMs, 0);
                continue;
            }
            ++refused;
            const QString& why = result.error().description;
            if (result.error().number == 53) {
                // A damaged sound file name: the missing file and the script's line are named.
                EXPECT_TRUE(why.contains("(damaged.qvs: line ")) << why.toStdString();
                continue;
            }
            EXPECT_EQ(result.error().number, 321) << why.toStdString();
            EXPECT_TRUE(why.startsWith("damaged.qvs: ")) << why.toStdString();
        }
    }
    EXPECT_GT(refused, 0);
}
