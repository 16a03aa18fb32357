#pragma once
// Helpers the player's tests share: an event recorder, a steppable clock and
// files written into a temporary folder.

#include "components/dispatch/object.h"
#include "components/player/vizmo4.h"
#include "components/player_control.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace vizmo::player::testing {

struct RecordedEvent {
    int position;
    dispatch::Args args;
};

class EventRecorder : public dispatch::EventSink {
public:
    void handleEvent(dispatch::Object&, int position, dispatch::Args& args) override
    {
        events.push_back({position, args});
        if (onEvent)
            onEvent(position, args);
    }
    std::vector<int> positions() const
    {
        std::vector<int> out;
        for (const auto& e : events)
            out.push_back(e.position);
        return out;
    }
    int count(int position) const
    {
        int n = 0;
        for (const auto& e : events)
            n += e.position == position;
        return n;
    }
    std::vector<RecordedEvent> events;
    std::function<void(int, dispatch::Args&)> onEvent;
};

// The menu's entry with `text`, in it or in one of its submenus.
inline QAction* findAction(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = findAction(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

// A player on a clock the test moves by hand, with still life (no random blinks).
struct PlayerFixture {
    PlayerFixture()
    {
        player.setClock([this] { return nowMs; });
        player.setEventSink(&recorder);
        player.put(id::LifeMode, dispatch::I2(0));
    }
    ~PlayerFixture() { player.setEventSink(nullptr); }

    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }
    // Moves the clock in playback steps, as the timer would.
    void run(double ms, double stepMs = 40)
    {
        for (double t = 0; t < ms; t += stepMs) {
            nowMs += stepMs;
            player.playbackTick();
        }
    }

    QTemporaryDir dir;
    double nowMs = 1000;
    EventRecorder recorder;
    Vizmo4 player;
};

}  // namespace vizmo::player::testing
