// Faulty model and script files are refused with the file, the line and what
// is wrong; good files, the samples among them, load completely.
#include "components/dispatch/error.h"
#include "components/player/content/face_model.h"
#include "components/player/content/script.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace vizmo::player {
namespace {

namespace err = dispatch::err;

struct BadFile {
    const char* name;
    const char* text;
    int number;
    const char* message;  // the whole expected description
};

class BadModel : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadModel, IsRefusedWithFileLineAndReason)
{
    const BadFile& bad = GetParam();
    const auto result = parseFaceModel(QByteArray(bad.text), QStringLiteral("m.qvm"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, bad.number);
    EXPECT_EQ(result.error().description.toStdString(), bad.message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadModel,
    ::testing::Values(
        BadFile{"Empty", "", err::InvalidFileFormat, "m.qvm: line 1: the file is empty; expected \"QVM 1\""},
        BadFile{"WrongMagic", "QVS 1\nname A\n", err::InvalidFileFormat, "m.qvm: line 1: expected the first line \"QVM 1\""},
        BadFile{"FutureVersion", "# made later\nQVM 2\nname A\n", err::InvalidFileFormat,
                "m.qvm: line 2: unsupported version \"2\" (this program reads version 1)"},
        BadFile{"UnknownKey", "QVM 1\nname A\nhat.size 0.5\n", err::InvalidFileFormat, "m.qvm: line 3: unknown keyword \"hat.size\""},
        BadFile{"OutOfRange", "QVM 1\nname A\n\neyes.size 1.5\n", err::InvalidFileFormat, "m.qvm: line 4: 1.5 is out of range (0 to 1)"},
        BadFile{"NotANumber", "QVM 1\nname A\nface.jaw wide\n", err::InvalidFileFormat, "m.qvm: line 3: \"wide\" is not a number"},
        BadFile{"NotFinite", "QVM 1\nname A\nface.jaw nan\n", err::InvalidFileFormat, "m.qvm: line 3: \"nan\" is not a number"},
        BadFile{"Infinite", "QVM 1\nname A\neyes.size -inf\n", err::InvalidFileFormat, "m.qvm: line 3: \"-inf\" is not a number"},
        BadFile{"BadColour", "QVM 1\nname A\nskin.color #12345\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"#12345\" is not a colour of the form #rrggbb"},
        BadFile{"MissingValue", "QVM 1\nname A\nskin.color\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"skin.color\" takes 1 value(s), found 0"},
        BadFile{"ExtraValue", "QVM 1\nname A\nface.jaw 0.2 0.3\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"face.jaw\" takes 1 value(s), found 2"},
        BadFile{"UnknownChoice", "QVM 1\nname A\nhair.style mohawk\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"mohawk\" is not one of: bald short curly bob long bun"},
        BadFile{"Duplicate", "QVM 1\nname A\nface.jaw 0.2\nface.jaw 0.3\n", err::InvalidFileFormat,
                "m.qvm: line 4: \"face.jaw\" is given twice"},
        BadFile{"NoName", "QVM 1\nface.jaw 0.2\n", err::InvalidFileFormat, "m.qvm: line 2: the model has no \"name\" line"},
        BadFile{"NotUtf8", "QVM 1\nname \xff\xfe\n", err::InvalidFileFormat, "m.qvm: the file is not UTF-8 text"},
        BadFile{"DrawingWithoutFile", "QVM 1\nname A\ndrawing\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"drawing\" needs a file name"},
        BadFile{"DrawingNotSvg", "QVM 1\nname A\ndrawing face.png\n", err::InvalidFileFormat,
                "m.qvm: line 3: the drawing \"face.png\" is not an .svg file"},
        BadFile{"DrawingTwice", "QVM 1\nname A\ndrawing a.svg\ndrawing b.svg\n", err::InvalidFileFormat,
                "m.qvm: line 4: \"drawing\" is given twice"},
        BadFile{"DrawingWithMeasures", "QVM 1\nname A\nface.jaw 0.2\ndrawing a.svg\n", err::InvalidFileFormat,
                "m.qvm: line 3: \"face.jaw\" shapes the built-in face, and this model is a drawing (line 4)"}),
    [](const auto& info) { return std::string(info.param.name); });

class BadScript : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadScript, IsRefusedWithFileLineAndReason)
{
    const BadFile& bad = GetParam();
    const auto result = parseScript(QByteArray(bad.text), QStringLiteral("s.qvs"), QDir::tempPath());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, bad.number);
    EXPECT_EQ(result.error().description.toStdString(), bad.message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadScript,
    ::testing::Values(
        BadFile{"ModelMagic", "QVM 1\n", err::InvalidFileFormat, "s.qvs: line 1: expected the first line \"QVS 1\""},
        BadFile{"VersionWord", "QVS one\n", err::InvalidFileFormat,
                "s.qvs: line 1: unsupported version \"one\" (this program reads version 1)"},
        BadFile{"NoLengthNoKeys", "QVS 1\ntitle Empty\n", err::InvalidFileFormat,
                "s.qvs: line 2: the script has neither a \"length\" line nor keyframes"},
        BadFile{"ZeroLength", "QVS 1\nlength 0\n", err::InvalidFileFormat, "s.qvs: line 2: 0 is out of range (1 to 600000)"},
        BadFile{"TwoLengths", "QVS 1\nlength 10\nlength 20\n", err::InvalidFileFormat,
                "s.qvs: line 3: \"length\" is given twice (first on line 2)"},
        BadFile{"KeyBeyondLength", "QVS 1\nlength 1000\nhead 0 0 0 0\nhead 1500 0 0 0\n", err::InvalidFileFormat,
                "s.qvs: line 4: a keyframe at 1500 ms lies beyond the length of 1000 ms"},
        BadFile{"BlinkBeyondLength", "QVS 1\nlength 1000\nblink 900\n", err::InvalidFileFormat,
                "s.qvs: line 3: a blink at 900 ms ends at 1200 ms, beyond the length of 1000 ms"},
        BadFile{"BlinkAtTheLongestLength", "QVS 1\nlength 600000\nblink 599800\n", err::InvalidFileFormat,
                "s.qvs: line 3: a blink at 599800 ms ends at 600100 ms, beyond the longest script of 600000 ms"},
        BadFile{"BlinkPastTheLongestScript", "QVS 1\nblink 600000\n", err::InvalidFileFormat,
                "s.qvs: line 2: a blink at 600000 ms ends at 600300 ms, beyond the longest script of 600000 ms"},
        BadFile{"NegativeTime", "QVS 1\nlength 1000\neyes -5 0 0\n", err::InvalidFileFormat,
                "s.qvs: line 3: -5 is out of range (0 to 600000)"},
        BadFile{"PoseTooLarge", "QVS 1\nlength 1000\nhead 0 300 0 0\n", err::InvalidFileFormat,
                "s.qvs: line 3: 300 is out of range (-255 to 255)"},
        BadFile{"FractionalPose", "QVS 1\nlength 1000\nshoulders 0 1.5 0\n", err::InvalidFileFormat,
                "s.qvs: line 3: \"1.5\" is not a whole number"},
        BadFile{"HeadMissingZ", "QVS 1\nlength 1000\nhead 0 1 2\n", err::InvalidFileFormat,
                "s.qvs: line 3: \"head\" takes 4 value(s), found 3"},
        BadFile{"UnknownExpression", "QVS 1\nlength 1000\nexpr 0 joy 1\n", err::InvalidFileFormat,
                "s.qvs: line 3: unknown expression \"joy\" (known: neutral smile surprise sad angry blink)"},
        BadFile{"ExpressionTooStrong", "QVS 1\nlength 1000\nexpr 0 smile 2\n", err::InvalidFileFormat,
                "s.qvs: line 3: 2 is out of range (0 to 1)"},
        BadFile{"ExpressionInfinite", "QVS 1\nlength 1000\nexpr 0 smile inf\n", err::InvalidFileFormat,
                "s.qvs: line 3: \"inf\" is not a number"},
        BadFile{"VisemeWeightNotFinite", "QVS 1\nlength 1000\nviseme 0 aa nan\n", err::InvalidFileFormat,
                "s.qvs: line 3: \"nan\" is not a number"},
        BadFile{"VisemeWrongCase", "QVS 1\nlength 1000\nviseme 0 AA\n", err::InvalidFileFormat,
                "s.qvs: line 3: unknown viseme \"AA\" (known: sil PP FF TH DD kk CH SS nn RR aa E ih oh ou)"},
        BadFile{"AudioNotWav", "QVS 1\nlength 1000\naudio talk.mp3\n", err::InvalidFileFormat,
                "s.qvs: line 3: the sound file \"talk.mp3\" is not a .wav file"},
        BadFile{"UnknownKeyword", "QVS 1\nlength 1000\nwiggle 0\n", err::InvalidFileFormat, "s.qvs: line 3: unknown keyword \"wiggle\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptFiles, MissingAudioNamesTheSoundAndTheScriptLine)
{
    const auto result = parseScript("QVS 1\nlength 1000\naudio nowhere-to-be-found.wav\n", QStringLiteral("s.qvs"),
                                    QStringLiteral("/nonexistent-folder"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::FileNotFound);
    EXPECT_EQ(result.error().description.toStdString(),
              "File not found: /nonexistent-folder/nowhere-to-be-found.wav (s.qvs: line 3)");
}

TEST(ScriptFiles, SoundFileAndTitleKeepTheirSpacesAsWritten)
{
    QTemporaryDir dir;
    QFile sound(dir.filePath(QStringLiteral("audio two  spaces.wav")));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.close();
    const auto result = parseScript("QVS 1\nlength 1000\ntitle A\t two  # note\naudio audio two  spaces.wav  \n",
                                    QStringLiteral("s.qvs"), dir.path());
    ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
    EXPECT_EQ(result.value().audioPath, sound.fileName());
    EXPECT_EQ(result.value().title, QStringLiteral("A\t two"));
}

TEST(ScriptFiles, MissingFileIsFileNotFoundWithThePath)
{
    const auto result = loadScript(QStringLiteral("/no/such/dir/x.qvs"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::FileNotFound);
    EXPECT_EQ(result.error().description.toStdString(), "File not found: /no/such/dir/x.qvs");
}

// Paths are UTF-8 text: a file named otherwise cannot be opened, and the path
// a listing shows for it says why it is "not found".
TEST(ScriptFiles, NameThatIsNotUtf8IsExplainedWhenNotFound)
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9.qvs";
    FILE* made = std::fopen(raw.constData(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    const auto result = loadScript(dir.filePath(QStringLiteral("caf\uFFFD.qvs")));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::FileNotFound);
    EXPECT_TRUE(result.error().description.contains(QStringLiteral("not valid UTF-8")))
        << result.error().description.toStdString();
}

TEST(ScriptFiles, OversizedFileIsRefusedBeforeParsing)
{
    QByteArray big("QVS 1\nlength 10\n");
    big.append(QByteArray(1024 * 1024, ' '));
    const auto result = parseScript(big, QStringLiteral("big.qvs"), {});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, err::InvalidFileFormat);
    EXPECT_TRUE(result.error().description.startsWith(QStringLiteral("big.qvs: the file is larger than")));
}

TEST(ScriptFiles, CommentsAndUnorderedKeysAreRead)
{
    const auto result = parseScript("# header comment\nQVS 1\nlength 2000 # two seconds\nhead 1000 100 0 0\n"
                                    "head 0 0 0 0\n\n   # indented comment\nviseme 500 aa 0.5\n",
                                    QStringLiteral("ok.qvs"), {});
    ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
    const Script& s = result.value();
    EXPECT_EQ(s.lengthMs, 2000);
    ASSERT_EQ(s.head.size(), 2u);
    EXPECT_EQ(s.head[0].timeMs, 0);  // sorted by time
    EXPECT_EQ(s.head[1].x, 100);
    ASSERT_EQ(s.visemes.size(), 1u);
    EXPECT_EQ(s.visemes[0].viseme, 10);
    EXPECT_DOUBLE_EQ(s.visemes[0].weight, 0.5);
}

TEST(ModelFiles, ColourAfterKeywordIsAValueNotAComment)
{
    const auto result = parseFaceModel("QVM 1\nname Some One\nskin.color #102030 # a dark tone\n", QStringLiteral("m.qvm"));
    ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
    EXPECT_EQ(result.value().name, QStringLiteral("Some One"));
    EXPECT_EQ(result.value().skin, QColor(0x10, 0x20, 0x30));
}

// The content shipped beside the program must load: a broken sample would
// greet the user with an error at start-up.
TEST(SampleContent, EveryShippedModelAndScriptLoads)
{
    const QDir content(QStringLiteral(VIZMO_CONTENT_DIR));
    const auto models = QDir(content.filePath(QStringLiteral("qvm"))).entryInfoList({QStringLiteral("*.qvm")});
    const auto scripts = QDir(content.filePath(QStringLiteral("qvs"))).entryInfoList({QStringLiteral("*.qvs")});
    EXPECT_GE(models.size(), 3);
    EXPECT_GE(scripts.size(), 3);
    QSet<QString> names;
    for (const auto& file : models) {
        const auto model = loadFaceModel(file.filePath());
        ASSERT_TRUE(model.ok()) << model.error().description.toStdString();
        names.insert(model.value().name);
    }
    EXPECT_EQ(names.size(), models.size()) << "each sample model is a different person";
    for (const auto& file : scripts) {
        const auto script = loadScript(file.filePath());
        EXPECT_TRUE(script.ok()) << script.error().description.toStdString();
    }
}

}  // namespace
}  // namespace vizmo::player
