#include "components/player/player_menu.h"

#include <QActionGroup>
#include <QMenu>

namespace vizmo::player {

void fillPlayerMenu(QMenu& menu, const PlayerMenuInfo& info, const PlayerMenuActions& actions)
{
    QAction* play = menu.addAction(QObject::tr("Play"), actions.play);
    play->setEnabled(info.hasScript && info.state != PlaybackState::Playing);
    QAction* pause = menu.addAction(QObject::tr("Pause"), actions.pause);
    pause->setEnabled(info.state == PlaybackState::Playing);
    QAction* stop = menu.addAction(QObject::tr("Stop"), actions.stop);
    stop->setEnabled(info.hasScript);
    if (info.style < 1)
        return;

    menu.addSeparator();
    const QString none = QObject::tr("(none)");
    menu.addAction(QObject::tr("Model: %1").arg(info.modelName.isEmpty() ? none : info.modelName))->setEnabled(false);
    menu.addAction(QObject::tr("Script: %1").arg(info.scriptName.isEmpty() ? none : info.scriptName))->setEnabled(false);
    menu.addSeparator();
    QMenu* life = menu.addMenu(QObject::tr("Life"));
    auto* group = new QActionGroup(life);
    const QString names[] = {QObject::tr("Still"), QObject::tr("Blinking"), QObject::tr("Blinking and breathing"),
                             QObject::tr("Blinking, breathing and idle motion")};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* action = life->addAction(names[mode], [set = actions.setLifeMode, mode] { set(mode); });
        action->setCheckable(true);
        action->setChecked(mode == info.lifeMode);
        group->addAction(action);
    }
}

}  // namespace vizmo::player
