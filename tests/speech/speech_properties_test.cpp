// Every property of the component: kept, read back, and refused out of range
// with the state unchanged; the engines and their voices; AttachPlayer.
#include "components/speech/kvtts_component.h"
#include "recording_player.h"

#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::dispatch;
using speech::KVTTSComponent;
namespace id = speech::id;

namespace {

class SpeechProperties : public ::testing::Test {
protected:
    KVTTSComponent component;
};

}  // namespace

TEST_F(SpeechProperties, StartsWithTheEspeakInterfaceAndNaturalSettings)
{
    EXPECT_EQ(component.get(id::Interface).value(), Str(speech::kInterfaceEspeak));
    EXPECT_EQ(component.get(id::Pitch).value(), I4(50));
    EXPECT_EQ(component.get(id::Speed).value(), I4(50));
    EXPECT_EQ(component.get(id::Volume).value(), I4(100));
    EXPECT_EQ(component.get(id::VoiceIndex).value(), I2(0));
}

TEST_F(SpeechProperties, PercentPropertiesKeepValuesAndRefuseOutOfRange)
{
    for (DispId property : {id::Pitch, id::Speed, id::Volume}) {
        ASSERT_TRUE(component.put(property, I4(0)).ok());
        ASSERT_TRUE(component.put(property, I4(73)).ok());
        const Result tooHigh = component.put(property, I4(101));
        ASSERT_FALSE(tooHigh.ok());
        EXPECT_EQ(tooHigh.error().number, err::InvalidPropertyValue);
        EXPECT_EQ(tooHigh.error().source, speech::kClassName);
        EXPECT_FALSE(component.put(property, I4(-1)).ok());
        EXPECT_EQ(component.get(property).value(), I4(73)) << component.members().nameOf(property).toStdString();
        EXPECT_EQ(component.put(property, I2(5)).error().number, err::TypeMismatch);
    }
}

TEST_F(SpeechProperties, TextIsKeptWhole)
{
    const QString text = QStringLiteral("Line one\r\nline two — ünïcode 😀");
    ASSERT_TRUE(component.put(id::Text, Str(text)).ok());
    EXPECT_EQ(component.get(id::Text).value(), Str(text));
}

TEST_F(SpeechProperties, ColoursAcceptRgbAndSystemReferencesOnly)
{
    ASSERT_TRUE(component.put(id::BackColor, I4(0x00123456)).ok());
    ASSERT_TRUE(component.put(id::ForeColor, I4(std::int32_t(0x80000007u))).ok());
    EXPECT_EQ(component.get(id::BackColor).value(), I4(0x00123456));
    EXPECT_EQ(component.get(id::ForeColor).value(), I4(std::int32_t(0x80000007u)));
    EXPECT_EQ(component.put(id::BackColor, I4(0x01000000)).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(component.put(id::ForeColor, I4(std::int32_t(0x800000FFu))).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(component.get(id::BackColor).value(), I4(0x00123456));
    // System colours run 0..24; the refusal names the property and the value.
    EXPECT_TRUE(component.put(id::ForeColor, I4(std::int32_t(0x80000018u))).ok());
    const Result refused = component.put(id::ForeColor, I4(std::int32_t(0x80000019u)));
    EXPECT_TRUE(refused.error().description.contains(QStringLiteral("ForeColor &H80000019"))) << refused.error().description.toStdString();
}

TEST_F(SpeechProperties, UnknownInterfaceIsRefusedNamingBothAccepted)
{
    ASSERT_TRUE(component.put(id::Interface, Str(speech::kInterfaceFlite)).ok());
    const Result refused = component.put(id::Interface, Str(QStringLiteral("Microsoft SAPI 3.0")));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, err::InvalidPropertyValue);
    EXPECT_TRUE(refused.error().description.contains(speech::kInterfaceEspeak));
    EXPECT_TRUE(refused.error().description.contains(speech::kInterfaceFlite));
    EXPECT_EQ(component.get(id::Interface).value(), Str(speech::kInterfaceFlite));
}

TEST_F(SpeechProperties, EachEngineListsItsOwnReadableVoices)
{
    ASSERT_TRUE(component.call(id::Initialize).ok());
    const std::int32_t espeakCount = component.get(id::VoiceCount).value().asI4();
    EXPECT_GT(espeakCount, 50);
    EXPECT_LT(espeakCount, 160) << "one voice a language, not every variant of every one";
    QStringList espeakNames;
    for (std::int32_t i = 0; i < espeakCount; ++i)
        espeakNames << component.get(id::VoiceName, {I4(i)}).value().asString();
    EXPECT_EQ(espeakNames.mid(0, 4), (QStringList{"English (America), female", "English (America), male",
                                                  "English (Great Britain), female", "English (Great Britain), male"}));
    EXPECT_EQ(espeakNames.removeDuplicates(), 0);

    ASSERT_TRUE(component.put(id::Interface, Str(speech::kInterfaceFlite)).ok());
    const std::int32_t fliteCount = component.get(id::VoiceCount).value().asI4();
    EXPECT_EQ(fliteCount, 5);
    QStringList names;
    for (std::int32_t i = 0; i < fliteCount; ++i)
        names << component.get(id::VoiceName, {I4(i)}).value().asString();
    EXPECT_TRUE(names.first().startsWith(QLatin1String("SLT")));
    EXPECT_EQ(names.removeDuplicates(), 0);
}

TEST_F(SpeechProperties, VoiceIndexAndNameRefuseIndicesOutsideTheEngine)
{
    ASSERT_TRUE(component.put(id::Interface, Str(speech::kInterfaceFlite)).ok());
    ASSERT_TRUE(component.put(id::VoiceIndex, I2(4)).ok());
    EXPECT_EQ(component.put(id::VoiceIndex, I2(5)).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(component.put(id::VoiceIndex, I2(-1)).error().number, err::InvalidPropertyValue);
    EXPECT_EQ(component.get(id::VoiceIndex).value(), I2(4));
    EXPECT_EQ(component.get(id::VoiceName, {I4(5)}).error().number, err::InvalidCall);
    EXPECT_EQ(component.get(id::VoiceName, {I4(-1)}).error().number, err::InvalidCall);
}

TEST_F(SpeechProperties, ChangingTheEngineStartsAgainAtItsFirstVoice)
{
    ASSERT_TRUE(component.put(id::VoiceIndex, I2(20)).ok());
    ASSERT_TRUE(component.put(id::Interface, Str(speech::kInterfaceFlite)).ok());
    EXPECT_EQ(component.get(id::VoiceIndex).value(), I2(0));
}

TEST_F(SpeechProperties, AttachPlayerAcceptsOnlyAPlayer)
{
    speech::testing::RecordingPlayer player;
    speech::testing::RecordingPlayer impostor(QStringLiteral("Vizmo3"));
    EXPECT_EQ(component.call(id::AttachPlayer, {Obj(&impostor)}).value(), Bool(false));
    EXPECT_EQ(component.call(id::AttachPlayer, {Obj(nullptr)}).value(), Bool(false));
    EXPECT_EQ(component.call(id::AttachPlayer, {Obj(&component)}).value(), Bool(false));
    EXPECT_EQ(component.call(id::AttachPlayer, {Obj(&player)}).value(), Bool(true));
    EXPECT_EQ(component.call(id::AttachPlayer, {Str(QStringLiteral("Vizmo4"))}).error().number, err::TypeMismatch);
}
