// Every property keeps what it was given, and a refused value leaves it as it was.
#include "player_test_support.h"

#include "components/dispatch/error.h"
#include "components/player/off_thread.h"

#include <QBuffer>
#include <QImageReader>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vizmo::player {
namespace {

using dispatch::I2;
using dispatch::I4;
using dispatch::Str;
using dispatch::Variant;
using testing::PlayerFixture;
namespace err = dispatch::err;

struct Put {
    const char* name;
    dispatch::DispId id;
    Variant good;
    Variant bad;
};

class RangedProperty : public ::testing::TestWithParam<Put> {};

TEST_P(RangedProperty, KeepsAGoodValueAndRefusesABadOneUnchanged)
{
    PlayerFixture f;
    const Put& put = GetParam();
    ASSERT_TRUE(f.player.put(put.id, put.good).ok());
    EXPECT_EQ(f.player.get(put.id).value(), put.good);
    const auto refused = f.player.put(put.id, put.bad);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, err::InvalidPropertyValue);
    EXPECT_TRUE(refused.error().description.contains(memberTable().nameOf(put.id))) << refused.error().description.toStdString();
    EXPECT_EQ(f.player.get(put.id).value(), put.good);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RangedProperty,
    ::testing::Values(Put{"ControStyle", id::ControStyle, I2(1), I2(2)}, Put{"AutoPlay", id::AutoPlay, I2(0), I2(-1)},
                      Put{"MenuStyle", id::MenuStyle, I2(-1), I2(2)}, Put{"LifeMode", id::LifeMode, I2(2), I2(4)},
                      Put{"StrengthMode", id::StrengthMode, I2(1), I2(5)}, Put{"BackMode", id::BackMode, I2(2), I2(-2)},
                      Put{"Strength", id::Strength, I4(17), I4(256)}, Put{"StrengthLow", id::Strength, I4(0), I4(-1)},
                      Put{"BorderStyle", id::BorderStyle, I2(1), I2(3)},
                      Put{"BackColor", id::BackColor, I4(0x00123456), I4(0x01000000)},
                      Put{"BackColorSystem", id::BackColor, I4(std::int32_t(0x8000000Fu)), I4(std::int32_t(0x80000100u))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Properties, WrongTypeIsTypeMismatchFromTheTable)
{
    PlayerFixture f;
    const auto result = f.player.put(id::LifeMode, Str(QStringLiteral("3")));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::TypeMismatch);
}

TEST(Properties, BrokenModelKeepsThePreviousModel)
{
    PlayerFixture f;
    const QString good = f.write("good.qvm", "QVM 1\nname Good\n");
    ASSERT_TRUE(f.player.put(id::ModelName, Str(good)).ok());
    EXPECT_EQ(f.recorder.events.back().position, event::ModelLoaded);
    EXPECT_EQ(f.recorder.events.back().args[0].asString(), good);
    const auto eventsBefore = f.recorder.events.size();

    const auto missing = f.player.put(id::ModelName, Str(f.dir.filePath("absent.qvm")));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, err::FileNotFound);
    EXPECT_EQ(missing.error().description, QStringLiteral("File not found: ") + f.dir.filePath("absent.qvm"));
    const auto broken = f.player.put(id::ModelName, Str(f.write("bad.qvm", "QVM 1\nname Bad\neyes.size 7\n")));
    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(broken.error().description, QStringLiteral("bad.qvm: line 3: 7 is out of range (0 to 1)"));
    EXPECT_EQ(f.player.get(id::ModelName).value().asString(), good);
    EXPECT_EQ(f.recorder.events.size(), eventsBefore);
}

// The side limit is inclusive, as its message says: 8192 pixels a side is
// taken, either way round, and one more is refused.
TEST(Properties, BackImageTakesImagesUpToTheSideLimitAndRefusesOnePixelMore)
{
    PlayerFixture f;
    auto image = [&](int width, int height) {
        QImage picture(width, height, QImage::Format_Mono);
        picture.fill(0);
        const QString path = f.dir.filePath(QStringLiteral("%1x%2.png").arg(width).arg(height));
        EXPECT_TRUE(picture.save(path));
        return path;
    };
    for (const QSize size : {QSize(8192, 1), QSize(1, 8192)}) {
        const QString path = image(size.width(), size.height());
        const auto taken = f.player.put(id::BackImage, Str(path));
        EXPECT_TRUE(taken.ok()) << taken.error().description.toStdString();
        EXPECT_EQ(f.player.get(id::BackImage).value().asString(), path);
    }
    const QString kept = f.player.get(id::BackImage).value().asString();
    for (const QSize size : {QSize(8193, 1), QSize(1, 8193)}) {
        const auto refused = f.player.put(id::BackImage, Str(image(size.width(), size.height())));
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().number, err::InvalidPropertyValue);
        EXPECT_TRUE(refused.error().description.contains("at most 8192 x 8192 is accepted"))
            << refused.error().description.toStdString();
        EXPECT_EQ(f.player.get(id::BackImage).value().asString(), kept);
    }
}

TEST(Properties, BackImageRefusesUnreadableHugeAndCutShortImagesAndKeepsThePath)
{
    PlayerFixture f;
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::red);
    const QString good = f.dir.filePath("small.png");
    ASSERT_TRUE(small.save(good));
    ASSERT_TRUE(f.player.put(id::BackImage, Str(good)).ok());

    const auto notImage = f.player.put(id::BackImage, Str(f.write("text.png", "this is not a picture")));
    ASSERT_FALSE(notImage.ok());
    EXPECT_EQ(notImage.error().number, err::InvalidFileFormat);
    QImage huge(9000, 1, QImage::Format_Mono);
    huge.fill(0);
    const QString hugePath = f.dir.filePath("huge.png");
    ASSERT_TRUE(huge.save(hugePath));
    const auto tooBig = f.player.put(id::BackImage, Str(hugePath));
    ASSERT_FALSE(tooBig.ok());
    EXPECT_EQ(tooBig.error().number, err::InvalidPropertyValue);
    EXPECT_TRUE(tooBig.error().description.contains("the image is 9000 x 1 pixels; at most 8192 x 8192 is accepted"))
        << tooBig.error().description.toStdString();
    // A GIF reports its first frame's size (92 x 7 here) but is decoded at its
    // screen's (92 x 15104): the screen is what the limits judge.
    const QByteArray gif = QByteArray::fromBase64("R0lGODlhXAAAO/AAAACAAAAAACH5BAAAAAAALAAAAAAAAAcAAAIHhI+py+1cAAA7");
    const auto tallGif = f.player.put(id::BackImage, Str(f.write("tall.gif", gif)));
    ASSERT_FALSE(tallGif.ok());
    EXPECT_TRUE(tallGif.error().description.contains("92 x 15104")) << tallGif.error().description.toStdString();
    // A picture cut short is refused from its chunk lengths, before libpng
    // allocates what they claim.
    QImage noisy(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x ^ y) * 13 % 256));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && noisy.save(&buffer, "PNG"));
    const QString cut = f.write("cut.png", png.left(png.size() / 2));
    const auto cutShort = f.player.put(id::BackImage, Str(cut));
    ASSERT_FALSE(cutShort.ok());
    EXPECT_EQ(cutShort.error().number, err::InvalidFileFormat);
    EXPECT_TRUE(cutShort.error().description.contains(cut + ": the image cannot be decoded (the file is broken or cut short: its IDAT chunk"))
        << cutShort.error().description.toStdString();
    // Damaged pixel data passes every check; only decoding it fails, and that
    // failure is still the call's.
    QByteArray damaged = png;
    const qsizetype pixels = damaged.indexOf("IDAT") + 4;
    for (qsizetype i = pixels + 10; i < pixels + 40; ++i)
        damaged[i] = char(damaged[i] ^ 0x5a);
    const QString bad = f.write("damaged.png", damaged);
    const auto undecodable = f.player.put(id::BackImage, Str(bad));
    ASSERT_FALSE(undecodable.ok());
    EXPECT_EQ(undecodable.error().number, err::InvalidFileFormat);
    EXPECT_TRUE(undecodable.error().description.contains(bad + ": the image cannot be decoded"))
        << undecodable.error().description.toStdString();
    const auto missing = f.player.put(id::BackImage, Str(f.dir.filePath("none.png")));
    EXPECT_EQ(missing.error().number, err::FileNotFound);
    EXPECT_EQ(f.player.get(id::BackImage).value().asString(), good);
}

// A phone's photo takes more memory to decode than Qt's reader allocates by
// itself (128 MB; 6000 x 6000 pixels take 144): it is decoded all the same,
// PNG and JPEG alike. The reader's limit is lowered here to stand for it.
TEST(Properties, BackImageDecodesPicturesBeyondTheReadersOwnAllocationLimit)
{
    PlayerFixture f;
    f.player.resize(64, 64);
    ASSERT_TRUE(f.player.put(id::BackMode, I2(1)).ok());
    struct LowLimit {
        int was = QImageReader::allocationLimit();
        LowLimit() { QImageReader::setAllocationLimit(1); }
        ~LowLimit() { QImageReader::setAllocationLimit(was); }
    } lowLimit;
    for (const char* format : {"png", "jpg"}) {
        QImage photo(1024, 768, QImage::Format_RGB32);
        photo.fill(qRgb(0, 0, 255));
        const QString path = f.dir.filePath(QStringLiteral("photo.") + format);
        ASSERT_TRUE(photo.save(path));
        const auto put = f.player.put(id::BackImage, Str(path));
        EXPECT_TRUE(put.ok()) << format << ": " << (put.ok() ? "" : put.error().description.toStdString());
        EXPECT_EQ(f.player.get(id::BackImage).value().asString(), path);
        const QImage frame = f.player.grab().toImage();
        const QColor corner = frame.pixelColor(1, 1);
        EXPECT_TRUE(corner.blue() > 200 && corner.red() < 40) << format << " shows " << corner.name().toStdString();
        ASSERT_TRUE(f.player.put(id::BackImage, Str(QString())).ok());
    }
}

// A compressed sound whose header promises two seconds and whose frames are
// missing opens fine; the script is refused rather than played silent.
TEST(Properties, ScriptWhoseSoundCannotBeDecodedIsRefusedAtTheCall)
{
    PlayerFixture f;
    const QString good = f.write("good.qvs", "QVS 1\nlength 1000\n");
    ASSERT_TRUE(f.player.put(id::ScriptName, Str(good)).ok());
    f.write("broken.wav", QByteArray::fromHex("664c614380000022100010000002850002d401f400f000003e80"
                                              "00000000000000000000000000000000"));
    const auto refused = f.player.put(id::ScriptName, Str(f.write("s.qvs", "QVS 1\nlength 1000\naudio broken.wav\n")));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, err::InvalidFileFormat);
    EXPECT_TRUE(refused.error().description.contains("broken.wav: the sound cannot be decoded after 0.00 of its 2.00 seconds"))
        << refused.error().description.toStdString();
    EXPECT_EQ(f.player.get(id::ScriptName).value().asString(), good);
}

// A load that outlasts the quiet wait keeps the window's timers (and so its
// painting and playback) going until the result is back.
TEST(OffThreadLoad, SlowWorkKeepsTimersRunning)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    const int result = runOffThread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return 7;
    });
    EXPECT_EQ(result, 7);
    EXPECT_GE(ticks, 5);
}

TEST(Methods, SetFpsTakesEightToSixtyWithAFirstArgumentOfZero)
{
    PlayerFixture f;
    EXPECT_TRUE(f.player.call(id::SetFPS, {I4(0), I4(8)}).ok());
    EXPECT_TRUE(f.player.call(id::SetFPS, {I4(0), I4(60)}).ok());
    EXPECT_EQ(f.player.framesPerSecond(), 60);
    EXPECT_EQ(f.player.call(id::SetFPS, {I4(0), I4(61)}).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(f.player.call(id::SetFPS, {I4(0), I4(7)}).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(f.player.call(id::SetFPS, {I4(1), I4(30)}).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(f.player.framesPerSecond(), 60);
}

TEST(Methods, SpeechVisemeRefusesValuesOutOfRange)
{
    PlayerFixture f;
    EXPECT_TRUE(f.player.call(id::SpeechViseme, {I2(14), I2(255), I4(1000)}).ok());
    EXPECT_EQ(f.player.call(id::SpeechViseme, {I2(15), I2(255), I4(0)}).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(f.player.call(id::SpeechViseme, {I2(1), I2(256), I4(0)}).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(f.player.call(id::SpeechViseme, {I2(1), I2(10), I4(-1)}).error().number, err::InvalidPropertyValue);
}

TEST(Methods, PoseBeyondTheNominalRangeIsAcceptedAndDrawnAtTheLimit)
{
    PlayerFixture f;
    // A pointer on a second screen sends head values above 255.
    ASSERT_TRUE(f.player.call(id::SetHead, {I2(765), I2(0), I2(382)}).ok());
    const FacePose pose = f.player.currentPose();
    EXPECT_DOUBLE_EQ(pose.headX, 1.0);
    EXPECT_DOUBLE_EQ(pose.headZ, 1.0);
}

}  // namespace
}  // namespace vizmo::player
