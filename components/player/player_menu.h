#pragma once
// The player's context menu. MenuStyle 0 offers play, pause and stop; 1 adds
// what is loaded (model and script) and the life mode.

#include "components/player/playback_timeline.h"

#include <QString>

#include <functional>

class QMenu;

namespace vizmo::player {

struct PlayerMenuInfo {
    int style = 0;  // 0 short, 1 full
    PlaybackState state = PlaybackState::Stopped;
    bool hasScript = false;
    QString modelName;
    QString scriptName;
    int lifeMode = 0;
};

struct PlayerMenuActions {
    std::function<void()> play;
    std::function<void()> pause;
    std::function<void()> stop;
    std::function<void(int)> setLifeMode;
};

void fillPlayerMenu(QMenu& menu, const PlayerMenuInfo& info, const PlayerMenuActions& actions);

}  // namespace vizmo::player
