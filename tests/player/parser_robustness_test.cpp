// Damaged files never crash the player: thousands of mutations of the sample
// models and scripts either load whole or are refused with error 321 naming
// the file (a script whose sound file name was damaged: 53, naming both), and
// every model that loads can be drawn.

#include "components/player/content/face_model.h"
#include "components/player/content/image_header.h"
#include "components/player/content/script.h"
#include "components/player/drawing/face_renderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
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

// A PNG's chunks are walked before libpng is trusted with the file: every
// chunk up to IEND, its length, type, data and CRC, must lie in the file.
TEST(ImageHeader, ThePngWalkRefusesAnyChunkThatRunsPastTheEndOfTheFile)
{
    auto chunk = [](const char* type, const QByteArray& data) {
        QByteArray out(4, '\0');
        qToBigEndian<quint32>(quint32(data.size()), out.data());
        return out + QByteArray(type, 4) + data + QByteArray(4, '\x5a');  // the CRC is libpng's to check
    };
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray head = signature + chunk("IHDR", QByteArray(13, '\1'));  // 33 bytes
    const QByteArray whole = head + chunk("tEXt", QByteArray("Title\0Demo", 10)) + chunk("IEND", {});
    QTemporaryDir dir;
    auto faultOf = [&](const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("image.png"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        file.close();
        return pngChunkFault(path).toStdString();
    };
    EXPECT_EQ(faultOf(whole), "");
    EXPECT_EQ(faultOf(whole.left(55)), "") << "every chunk whole, IEND missing: libpng's to report";
    EXPECT_EQ(faultOf(whole.left(54)),
              "the file is broken or cut short: its tEXt chunk at byte 33 claims 10 bytes, and 9 are left");
    EXPECT_EQ(faultOf(whole.left(51)),
              "the file is broken or cut short: its tEXt chunk at byte 33 claims 10 bytes, and 6 are left");
    EXPECT_EQ(faultOf(whole.left(44)),
              "the file is broken or cut short: its tEXt chunk at byte 33 claims 10 bytes, and 0 are left");
    EXPECT_EQ(faultOf(head + chunk("tEXt", QByteArray(8, 'x')).left(10)),
              "the file is broken or cut short: its tEXt chunk at byte 33 claims 8 bytes, and 0 are left");
    EXPECT_EQ(faultOf(QByteArray("GIF89a") + whole.mid(6).left(40)), "") << "not a PNG";

    // The walk reads the headers from blocks of the file: across 7000 empty
    // chunks (84 KB) it still finds the last one's claim.
    QByteArray many = head;
    for (int i = 0; i < 7000; ++i)
        many += chunk("zTXt", {});
    EXPECT_EQ(faultOf(many + chunk("IDAT", QByteArray(100, 'x')).left(60)),
              "the file is broken or cut short: its IDAT chunk at byte 84033 claims 100 bytes, and 48 are left");
    EXPECT_EQ(faultOf(many + chunk("IEND", {}) + QByteArray(3, 'x')), "") << "nothing after IEND is read";
    // A header split by the end of a block (64 KB from byte 8) is read whole:
    // here the last byte of a length lies past it.
    const QByteArray filler = head + chunk("zTXt", QByteArray(65496, 'x'));  // the next chunk at byte 65541
    EXPECT_EQ(faultOf(filler + chunk("tEXt", QByteArray("a\0bcd", 5)) + chunk("IDAT", QByteArray(100, 'x')).left(60)),
              "the file is broken or cut short: its IDAT chunk at byte 65558 claims 100 bytes, and 48 are left");
}
