#pragma once
// A stand-in player that records the speech input it receives, with the time
// on the speaker's audio clock at which each mouth shape arrived.

#include "components/dispatch/object.h"
#include "components/player_control.h"

#include <functional>
#include <vector>

namespace vizmo::speech::testing {

class RecordingPlayer : public dispatch::Object {
public:
    struct Shape {
        int viseme;
        int weight;
        int blendMs;
        qint64 clockUs;
    };

    explicit RecordingPlayer(QString className = player::kClassName)
        : dispatch::Object(std::move(className), player::memberTable())
    {
    }

    std::function<qint64()> clock;  // read when a shape arrives
    std::vector<bool> activeCalls;
    std::vector<Shape> shapes;
    std::vector<int> wordStresses;

protected:
    dispatch::Result doPut(dispatch::DispId, const dispatch::Variant&) override { return {}; }
    dispatch::Result doGet(dispatch::DispId, const dispatch::Args&) override { return {}; }
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override
    {
        if (id == player::id::SpeechActive)
            activeCalls.push_back(args.at(0).asBool());
        else if (id == player::id::SpeechViseme)
            shapes.push_back({args.at(0).asI2(), args.at(1).asI2(), args.at(2).asI4(), clock ? clock() : -1});
        else if (id == player::id::SpeechWord)
            wordStresses.push_back(args.at(0).asI2());
        return {};
    }
};

}  // namespace vizmo::speech::testing
