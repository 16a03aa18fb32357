#include "components/dispatch/call_wait.h"
#include "components/dispatch/handle.h"
#include "components/dispatch/object.h"
#include "components/player_control.h"
#include "components/speech_component.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace vizmo;
using namespace vizmo::dispatch;

namespace {

// A player-shaped object that counts what reaches it past the table check.
class CountingPlayer : public Object {
public:
    CountingPlayer() : Object(player::kClassName, player::memberTable()) {}
    int reached = 0;
    QString modelName;
    void raise(int position, Args& args) { raiseEvent(position, args); }
    void raiseOf(int position, Args& args, const Content& content) { raiseEvent(position, args, content); }
    Content script;
    Content model;

protected:
    Result doPut(DispId id, const Variant& value) override
    {
        ++reached;
        if (id == player::id::ModelName) {
            if (value.asString().isEmpty())
                return fail(err::FileNotFound, "File not found: ''");
            modelName = value.asString();
        }
        return {};
    }
    Result doGet(DispId id, const Args&) override
    {
        ++reached;
        if (id == player::id::ModelName)
            return Variant::string(modelName);
        return {};
    }
    Result doCall(DispId, const Args&) override { ++reached; return {}; }
};

class Sink : public EventSink {
public:
    std::vector<std::pair<int, Args>> seen;
    void handleEvent(Object&, int position, Args& args) override
    {
        seen.emplace_back(position, args);
        if (!args.empty() && args[0].type() == VarType::Bool)
            args[0] = Variant::boolean(true);  // a host answering through a by-reference argument
    }
};

}  // namespace

TEST(DispatchCalls, TheTableRefusesUnknownIdsWrongTypesAndWrongCounts)
{
    CountingPlayer p;
    struct Case { Result result; int number; };
    const Case cases[] = {
        {p.put(999, I2(1)), err::NotSupported},
        {p.call(player::id::Strength, {I4(1)}), err::NotSupported},   // a property is not a method
        {p.put(player::id::Strength, I2(5)), err::TypeMismatch},      // Strength takes I4
        {p.put(player::id::BorderStyle, I4(1)), err::TypeMismatch},   // BorderStyle takes I2
        {p.call(player::id::SetHead, {I2(1), I2(2)}), err::WrongArgumentCount},
        {p.call(player::id::SetHead, {I2(1), I2(2), I4(3)}), err::TypeMismatch},
        {p.call(player::id::Play, {}), err::WrongArgumentCount},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.result.ok());
        EXPECT_EQ(c.result.error().number, c.number);
        EXPECT_EQ(c.result.error().source, "Vizmo4");
    }
    EXPECT_EQ(p.reached, 0) << "refused calls must not reach the component";

    EXPECT_TRUE(p.put(player::id::BorderStyle, I2(-1)).ok());
    EXPECT_TRUE(p.call(player::id::SetHead, {I2(1), I2(2), I2(3)}).ok());
    EXPECT_EQ(p.reached, 2);
}

TEST(DispatchCalls, HandleRaisesRunTimeErrorNamingTheMember)
{
    CountingPlayer p;
    Handle h(p, "Vizmo41");
    h.put(player::id::ModelName, Str("/c/a.qvm"));
    EXPECT_EQ(h.get(player::id::ModelName).asString(), "/c/a.qvm");
    try {
        h.put(player::id::ModelName, Str(""));
        FAIL() << "expected a run-time error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_EQ(e.member(), "Vizmo41.ModelName");
        EXPECT_EQ(e.report(), "Run-time error '53':\n\nFile not found: ''");
    }
    try {
        h.call(77);
        FAIL() << "expected a run-time error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::NotSupported);
        EXPECT_EQ(e.member(), "Vizmo41.#77");
        EXPECT_EQ(e.description(), "Object doesn't support this property or method");
    }
    EXPECT_EQ(p.modelName, "/c/a.qvm");
}

TEST(DispatchCalls, EventsReachTheHostByPositionWithByReferenceArguments)
{
    CountingPlayer p;
    Args progress{I4(0), I4(0), I4(37), I4(120)};
    p.raise(player::event::Progress, progress);  // no sink yet: nothing happens
    Sink sink;
    p.setEventSink(&sink);
    p.raise(player::event::Progress, progress);
    Args cancel{Variant::boolean(false)};
    p.raise(99, cancel);
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen[0].first, player::event::Progress);
    EXPECT_EQ(sink.seen[0].second[2], I4(37));
    EXPECT_TRUE(cancel[0].asBool()) << "the host's change must reach the raiser";
    EXPECT_EQ(player::memberTable().event(player::event::Progress)->name, "Progress");
    EXPECT_EQ(speech::memberTable().event(speech::event::Eof)->name, "EOF");
}

// An event raised from the event loop while a call waits reaches the host once
// the call has returned and the loop is reached again: with its arguments,
// after the events held before it, and not at all from an object that has gone.
TEST(DispatchCalls, EventsRaisedWhileACallWaitsReachTheHostAfterItInOrder)
{
    CountingPlayer p;
    Sink sink;
    p.setEventSink(&sink);
    auto gone = std::make_unique<CountingPlayer>();
    gone->setEventSink(&sink);
    int polls = 0;
    waitKeepingWindowPainted([&](std::chrono::milliseconds) {
        EXPECT_TRUE(callWaiting());
        Args progress{I4(0), I4(0), I4(37), I4(120)};
        Args none;
        if (polls == 0) {
            p.raise(player::event::Progress, progress);
            gone->raise(player::event::Stop, none);
            p.raise(player::event::Eof, none);
        }
        return ++polls == 3;
    });
    EXPECT_FALSE(callWaiting());
    gone.reset();
    EXPECT_TRUE(sink.seen.empty()) << "held until the loop is reached again";
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen[0].first, player::event::Progress);
    EXPECT_EQ(sink.seen[0].second[2], I4(37));
    EXPECT_EQ(sink.seen[1].first, player::event::Eof);
    // Outside a wait an event goes at once, as before.
    Args none;
    p.raise(player::event::Play, none);
    EXPECT_EQ(sink.seen.size(), 3u);
}

// An event held for content that is replaced before the host would get it is
// dropped: the host must never see the end of a script it has replaced. Held
// events of content still shown, and those of no content, keep their order.
TEST(DispatchCalls, HeldEventsOfReplacedContentAreDroppedTheRestKeepTheirOrder)
{
    CountingPlayer p;
    Sink sink;
    p.setEventSink(&sink);
    auto holdDuringAWait = [&](const std::function<void()>& raise) {
        bool raised = false;
        waitKeepingWindowPainted([&](std::chrono::milliseconds) {
            if (!raised)
                raise();
            raised = true;
            return true;
        });
    };
    Args progress{I4(0), I4(0), I4(1000), I4(1000)};
    Args eof{Str("old.qvs")};
    Args none;
    holdDuringAWait([&] {
        p.raiseOf(player::event::Progress, progress, p.script);
        p.raise(player::event::MouseEnter, none);
        p.raiseOf(player::event::Eof, eof, p.script);
        p.raiseOf(player::event::ModelLoaded, none, p.model);
    });
    p.script.replaced();  // the handler's put, after its wait
    Args loaded{Str("new.qvs")};
    p.raiseOf(player::event::ScriptLoaded, loaded, p.script);  // not waiting: at once
    ASSERT_EQ(sink.seen.size(), 1u);
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.seen.size(), 3u);
    EXPECT_EQ(sink.seen[0].first, player::event::ScriptLoaded);
    EXPECT_EQ(sink.seen[1].first, player::event::MouseEnter);
    EXPECT_EQ(sink.seen[2].first, player::event::ModelLoaded);

    // A put of other content (the model) leaves the script's held events alone.
    sink.seen.clear();
    holdDuringAWait([&] { p.raiseOf(player::event::Eof, eof, p.script); });
    p.model.replaced();
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.seen.size(), 1u);
    EXPECT_EQ(sink.seen[0].first, player::event::Eof);
    EXPECT_EQ(sink.seen[0].second[0].asString(), "old.qvs");
}
