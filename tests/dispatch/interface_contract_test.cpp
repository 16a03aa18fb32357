// The two components' interfaces as the window relies on them, written out
// here as plain numbers rather than taken from the components' headers, so
// that a wrong id, type or event position in a header cannot agree with
// itself: the member tables and the events the components really raise are
// checked against these rows.
#include "components/player/vizmo4.h"
#include "components/speech/kvtts_component.h"
#include "player/player_test_support.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

namespace vizmo {
namespace {

using dispatch::MemberKind;
using dispatch::Variant;
using dispatch::VarType;

// Variant type numbers as the calls carry them.
constexpr int kI2 = 2, kI4 = 3, kString = 8, kObject = 9, kBool = 11;

struct MemberRow {
    int id;
    const char* name;
    MemberKind kind;
    std::vector<int> args;    // a put's one value, or the arguments in order
    std::optional<int> result;  // only where the window uses it
};

struct EventRow {
    int position;
    const char* name;
    int argCount;
    std::map<int, int> argTypes;  // argument index -> type, where the window reads it
};

const std::vector<MemberRow> kPlayerMembers = {
    {1, "ControStyle", MemberKind::PropertyPut, {kI2}, {}},
    {2, "ModelName", MemberKind::PropertyPut, {kString}, {}},
    {3, "ScriptName", MemberKind::PropertyPut, {kString}, {}},
    {4, "AutoPlay", MemberKind::PropertyPut, {kI2}, {}},
    {7, "MenuStyle", MemberKind::PropertyPut, {kI2}, {}},
    {12, "LifeMode", MemberKind::PropertyPut, {kI2}, {}},
    {13, "StrengthMode", MemberKind::PropertyPut, {kI2}, {}},
    {15, "BackImage", MemberKind::PropertyPut, {kString}, {}},
    {16, "BackMode", MemberKind::PropertyPut, {kI2}, {}},
    {19, "Strength", MemberKind::PropertyPut, {kI4}, {}},
    {-501, "BackColor", MemberKind::PropertyPut, {kI4}, {}},
    {-504, "BorderStyle", MemberKind::PropertyPut, {kI2}, {}},
    {21, "Play", MemberKind::Method, {kI4}, {}},
    {22, "Stop", MemberKind::Method, {}, {}},
    {23, "Pause", MemberKind::Method, {}, {}},
    {25, "SetEye", MemberKind::Method, {kI2, kI2, kI2, kI2}, {}},
    {26, "SetHead", MemberKind::Method, {kI2, kI2, kI2}, {}},
    {27, "SetShoulder", MemberKind::Method, {kI2, kI2}, {}},
    {34, "SetFPS", MemberKind::Method, {kI4, kI4}, {}},
};

const std::vector<EventRow> kPlayerEvents = {
    {0, "Click", 0, {}},
    {1, "DoubleClick", 0, {}},
    {2, "MouseDown", 4, {}},
    {3, "MouseUp", 4, {}},
    {4, "Eof", 1, {}},
    {5, "Progress", 4, {{2, kI4}, {3, kI4}}},
    {8, "MouseEnter", 0, {}},
    {9, "MouseLeave", 0, {}},
    {10, "Play", 0, {}},
    {11, "Pause", 0, {}},
    {12, "Stop", 0, {}},
};

const std::vector<MemberRow> kSpeechMembers = {
    {1, "Interface", MemberKind::PropertyPut, {kString}, {}},
    {2, "Text", MemberKind::PropertyPut, {kString}, {}},
    {3, "BackColor", MemberKind::PropertyPut, {kI4}, {}},
    {5, "Pitch", MemberKind::PropertyPut, {kI4}, {}},
    {6, "Speed", MemberKind::PropertyPut, {kI4}, {}},
    {7, "Volume", MemberKind::PropertyPut, {kI4}, {}},
    {8, "ForeColor", MemberKind::PropertyPut, {kI4}, {}},
    {12, "VoiceIndex", MemberKind::PropertyPut, {kI2}, {}},
    {18, "VoiceCount", MemberKind::PropertyGet, {}, kI4},
    {19, "VoiceName", MemberKind::PropertyGet, {kI4}, kString},
    {14, "AttachPlayer", MemberKind::Method, {kObject}, kBool},
    {15, "Play", MemberKind::Method, {}, {}},
    {16, "Stop", MemberKind::Method, {}, {}},
    {17, "Pause", MemberKind::Method, {}, {}},
    {20, "Initialize", MemberKind::Method, {}, {}},
};

const std::vector<EventRow> kSpeechEvents = {
    {0, "Play", 0, {}},
    {1, "Pause", 0, {}},
    {2, "Stop", 0, {}},
    {3, "EOF", 0, {}},
};

std::vector<int> typeNumbers(const std::vector<VarType>& types)
{
    std::vector<int> out;
    for (VarType t : types)
        out.push_back(int(t));
    return out;
}

void expectTableHolds(const dispatch::MemberTable& table, const std::vector<MemberRow>& members,
                      const std::vector<EventRow>& events)
{
    for (const MemberRow& row : members) {
        SCOPED_TRACE(row.name);
        const dispatch::Member* member = table.find(row.id, row.kind);
        ASSERT_NE(member, nullptr) << "no member with id " << row.id << " of this kind";
        EXPECT_EQ(member->name.toStdString(), row.name);
        EXPECT_EQ(typeNumbers(member->args), row.args);
        if (row.result) {
            EXPECT_EQ(int(member->result), *row.result);
        }
    }
    for (const EventRow& row : events) {
        SCOPED_TRACE(row.name);
        const dispatch::EventInfo* info = table.event(row.position);
        ASSERT_NE(info, nullptr) << "no event at position " << row.position;
        EXPECT_EQ(info->name.toStdString(), row.name);
        ASSERT_EQ(int(info->args.size()), row.argCount);
        for (const auto& [index, type] : row.argTypes)
            EXPECT_EQ(int(info->args[index]), type) << "argument " << index;
    }
}

// Checks one raised event against its row: the position must be one the
// window knows under `name`, with the argument count and types it reads.
void expectRaisedAs(const std::vector<EventRow>& events, const char* name, int position,
                    const dispatch::Args& args)
{
    SCOPED_TRACE(name);
    const auto row = std::find_if(events.begin(), events.end(),
                                  [&](const EventRow& r) { return std::string(r.name) == name; });
    ASSERT_NE(row, events.end());
    EXPECT_EQ(position, row->position);
    ASSERT_EQ(int(args.size()), row->argCount);
    for (const auto& [index, type] : row->argTypes)
        EXPECT_EQ(int(args[index].type()), type) << "argument " << index;
}

Variant literal(int type, int value)
{
    return type == kI2 ? dispatch::I2(std::int16_t(value)) : dispatch::I4(value);
}

TEST(InterfaceContract, MemberTablesMatchTheWrittenInterfaces)
{
    expectTableHolds(player::memberTable(), kPlayerMembers, kPlayerEvents);
    expectTableHolds(speech::memberTable(), kSpeechMembers, kSpeechEvents);
}

TEST(InterfaceContract, PlayerRaisesItsEventsAtTheWrittenPositions)
{
    player::testing::PlayerFixture f;
    const QString script = f.write("s.qvs", "QVS 1\nlength 400\nhead 0 0 0 0\nhead 400 100 0 0\n");
    ASSERT_TRUE(f.player.put(4, literal(kI2, 0)).ok());
    ASSERT_TRUE(f.player.put(3, dispatch::Str(script)).ok());
    // The first event each call raises (Stop also reports the rewound position after it).
    const auto firstRaisedBy = [&](auto call) {
        f.recorder.events.clear();
        call();
        return f.recorder.events.empty() ? player::testing::RecordedEvent{-1, {}} : f.recorder.events.front();
    };
    const auto last = [&] { return f.recorder.events.back(); };

    auto e = firstRaisedBy([&] { ASSERT_TRUE(f.player.call(21, {literal(kI4, 0)}).ok()); });
    expectRaisedAs(kPlayerEvents, "Play", e.position, e.args);
    f.run(200);
    expectRaisedAs(kPlayerEvents, "Progress", last().position, last().args);
    e = firstRaisedBy([&] { ASSERT_TRUE(f.player.call(23).ok()); });
    expectRaisedAs(kPlayerEvents, "Pause", e.position, e.args);
    e = firstRaisedBy([&] { ASSERT_TRUE(f.player.call(22).ok()); });
    expectRaisedAs(kPlayerEvents, "Stop", e.position, e.args);
    ASSERT_TRUE(f.player.call(21, {literal(kI4, 0)}).ok());
    f.run(800);
    expectRaisedAs(kPlayerEvents, "Eof", last().position, last().args);

    // The mouse: a press and release on the face, then a double click.
    f.player.resize(200, 200);
    f.player.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.player));
    f.recorder.events.clear();
    const QPoint centre(100, 100);
    QTest::mousePress(f.player.windowHandle(), Qt::LeftButton, {}, centre);
    ASSERT_FALSE(f.recorder.events.empty());
    expectRaisedAs(kPlayerEvents, "MouseDown", last().position, last().args);
    QTest::mouseRelease(f.player.windowHandle(), Qt::LeftButton, {}, centre);
    std::vector<int> afterRelease;
    for (const auto& e : f.recorder.events)
        afterRelease.push_back(e.position);
    EXPECT_EQ(afterRelease, (std::vector<int>{2, 3, 0})) << "MouseDown, MouseUp, Click";
}

TEST(InterfaceContract, SpeechRaisesItsEventsAtTheWrittenPositions)
{
    speech::KVTTSComponent component;
    component.speaker().output().setSilentForced(true);
    player::testing::EventRecorder recorder;
    component.setEventSink(&recorder);
    const auto last = [&] { return recorder.events.back(); };
    ASSERT_TRUE(component.call(20).ok());
    ASSERT_TRUE(component.put(1, dispatch::Str("Microsoft SAPI 4.1")).ok());
    ASSERT_TRUE(component.put(2, dispatch::Str("One, two, three, four, five, six, seven.")).ok());

    ASSERT_TRUE(component.call(15).ok());
    ASSERT_FALSE(recorder.events.empty());
    expectRaisedAs(kSpeechEvents, "Play", last().position, last().args);
    ASSERT_TRUE(component.call(17).ok());
    expectRaisedAs(kSpeechEvents, "Pause", last().position, last().args);
    ASSERT_TRUE(component.call(16).ok());
    expectRaisedAs(kSpeechEvents, "Stop", last().position, last().args);

    // To the end: after Play, the next event without arguments (words carry two) is the end.
    ASSERT_TRUE(component.put(2, dispatch::Str("Hello.")).ok());
    recorder.events.clear();
    ASSERT_TRUE(component.call(15).ok());
    std::vector<player::testing::RecordedEvent> plain;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            plain.clear();
            std::copy_if(recorder.events.begin(), recorder.events.end(), std::back_inserter(plain),
                         [](const auto& e) { return e.args.empty(); });
            return plain.size() >= 2;
        },
        10000));
    expectRaisedAs(kSpeechEvents, "EOF", plain[1].position, plain[1].args);
}

}  // namespace
}  // namespace vizmo
