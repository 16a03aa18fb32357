// The phone-to-viseme tables of both engines and the shaping of mouth cues:
// minimum hold, which shape wins a merge, closures ahead of their sound.
#include "components/player_control.h"
#include "components/speech/lip_sync.h"
#include "components/speech/viseme_tables.h"

#include <gtest/gtest.h>

using namespace vizmo::speech;
namespace v = vizmo::player::viseme;

TEST(VisemeTables, EspeakPhonemesByTheirMnemonics)
{
    EXPECT_EQ(espeakPhoneViseme("p"), v::PP);
    EXPECT_EQ(espeakPhoneViseme("m"), v::PP);
    EXPECT_EQ(espeakPhoneViseme("v"), v::FF);
    EXPECT_EQ(espeakPhoneViseme("T"), v::TH);
    EXPECT_EQ(espeakPhoneViseme("D"), v::TH);
    EXPECT_EQ(espeakPhoneViseme("t"), v::DD);
    EXPECT_EQ(espeakPhoneViseme("tS"), v::CH);
    EXPECT_EQ(espeakPhoneViseme("dZ"), v::CH);
    EXPECT_EQ(espeakPhoneViseme("S"), v::CH);
    EXPECT_EQ(espeakPhoneViseme("s"), v::SS);
    EXPECT_EQ(espeakPhoneViseme("N"), v::nn);
    EXPECT_EQ(espeakPhoneViseme("r"), v::RR);
    EXPECT_EQ(espeakPhoneViseme("aI"), v::aa);
    EXPECT_EQ(espeakPhoneViseme("3:"), v::E);
    EXPECT_EQ(espeakPhoneViseme("i:"), v::ih);
    EXPECT_EQ(espeakPhoneViseme("oU"), v::oh);
    EXPECT_EQ(espeakPhoneViseme("u:"), v::ou);
    EXPECT_EQ(espeakPhoneViseme("w"), v::ou);
    EXPECT_EQ(espeakPhoneViseme("_:"), v::Silence);
    EXPECT_EQ(espeakPhoneViseme(""), v::Silence);
}

TEST(VisemeTables, EveryFlitePhoneHasAShapeAndOnlyPausesAreSilent)
{
    const char* phones[] = {"aa", "ae", "ah", "ao", "aw", "ax", "ay", "b",  "ch", "d",  "dh", "eh", "er",
                            "ey", "f",  "g",  "hh", "ih", "iy", "jh", "k",  "l",  "m",  "n",  "ng", "ow",
                            "oy", "p",  "r",  "s",  "sh", "t",  "th", "uh", "uw", "v",  "w",  "y",  "z",  "zh"};
    for (const char* phone : phones)
        EXPECT_NE(flitePhoneViseme(phone), v::Silence) << phone;
    EXPECT_EQ(flitePhoneViseme("pau"), v::Silence);
    EXPECT_EQ(flitePhoneViseme("uw"), v::ou);
    EXPECT_EQ(flitePhoneViseme("ow"), v::oh);
    EXPECT_EQ(flitePhoneViseme("th"), v::TH);
}

TEST(VisemeTables, NamesGoBothWays)
{
    for (int i = 0; i < v::Count; ++i)
        EXPECT_EQ(visemeFromName(visemeName(i)), i);
    EXPECT_EQ(visemeFromName("xx"), -1);
    EXPECT_EQ(visemeName(v::ou), QStringLiteral("ou"));
}

namespace {
constexpr int kRate = 1000;  // one sample a millisecond keeps the numbers readable
PhoneMark at(int ms, int viseme) { return {ms, viseme, {}}; }
}  // namespace

TEST(LipSync, ShortPhonesAreMergedIntoTheMoreVisibleShape)
{
    LipSync sync(kRate, {70, 10, 30, 30, 80});
    // d (20 ms) then a vowel (200 ms), then m (30 ms) and another vowel.
    sync.addPhones({at(0, v::DD), at(20, v::aa), at(220, v::PP), at(250, v::E), at(450, v::Silence)});
    sync.finish(500);
    const auto cues = sync.takeAll();
    std::vector<int> shapes;
    for (const auto& c : cues)
        shapes.push_back(c.viseme);
    EXPECT_EQ(shapes, (std::vector<int>{v::aa, v::PP, v::Silence}));
    for (std::size_t i = 1; i < cues.size(); ++i)
        EXPECT_GE(cues[i].startSample - cues[i - 1].startSample, 70) << "shape " << i << " held too briefly";
}

TEST(LipSync, ClosuresAreDueEarlierThanOtherShapes)
{
    LipSync sync(kRate, {70, 10, 30, 30, 80});
    sync.addPhones({at(100, v::aa), at(300, v::PP), at(400, v::oh)});
    sync.finish(600);
    const auto cues = sync.takeAll();
    ASSERT_EQ(cues.size(), 4u);
    EXPECT_EQ(cues[0].startSample - cues[0].dueSample, 10);
    EXPECT_EQ(cues[1].viseme, v::PP);
    EXPECT_EQ(cues[1].startSample - cues[1].dueSample, 30);
    for (const auto& c : cues) {
        EXPECT_GE(c.blendMs, 30);
        EXPECT_LE(c.blendMs, 80);
    }
}

TEST(LipSync, CuesAreHandedOutOnceWhenDue)
{
    LipSync sync(kRate, {70, 10, 30, 30, 80});
    sync.addPhones({at(0, v::aa), at(100, v::ou), at(200, v::E)});
    EXPECT_EQ(sync.takeDue(50).size(), 1u);   // aa (ou's successor arrived, so ou is ready too)
    EXPECT_EQ(sync.takeDue(50).size(), 0u);
    EXPECT_EQ(sync.takeDue(95).size(), 1u);   // ou, 10 ms ahead of its sound
    sync.finish(300);
    const auto rest = sync.takeAll();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest.back().viseme, v::Silence);
}
