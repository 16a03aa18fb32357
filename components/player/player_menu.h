#pragma once
// The player's context menu. MenuStyle 0 offers play, pause and stop; 1 adds
// what is loaded (model and script), the life mode and the sound input the
// face listens to.

#include "components/player/playback_timeline.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QMenu;

namespace vizmo::player {

struct PlayerMenuInfo {
    int style = 0;  // 0 short, 1 full
    PlaybackState state = PlaybackState::Stopped;
    bool hasScript = false;
    QString modelName;
    QString scriptName;
    int lifeMode = 0;
    struct Input {
        QByteArray id;
        QString description;
    };
    std::vector<Input> inputs;   // the sound inputs there are now
    QByteArray listeningTo;      // the chosen one, "" for nothing
    QString listeningToName;     // its description, shown while it is away
};

struct PlayerMenuActions {
    std::function<void()> play;
    std::function<void()> pause;
    std::function<void()> stop;
    std::function<void(int)> setLifeMode;
    std::function<void(const QByteArray&)> listenTo;
};

void fillPlayerMenu(QMenu& menu, const PlayerMenuInfo& info, const PlayerMenuActions& actions);

}  // namespace vizmo::player
