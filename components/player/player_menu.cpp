#include "components/player/player_menu.h"

#include <QActionGroup>
#include <QMenu>

#include <algorithm>

namespace vizmo::player {

namespace {

// "Listen to": nothing, or one of the inputs, as one choice; an input that
// is chosen but away is shown so, still chosen.
void addListenMenu(QMenu& menu, const PlayerMenuInfo& info, const PlayerMenuActions& actions)
{
    QMenu* listen = menu.addMenu(QObject::tr("Listen to"));
    listen->setAccessibleName(listen->title());
    auto* group = new QActionGroup(listen);
    auto choice = [&](const QString& text, const QByteArray& id) {
        QAction* action = listen->addAction(text, [set = actions.listenTo, id] { set(id); });
        action->setCheckable(true);
        action->setChecked(id == info.listeningTo);
        group->addAction(action);
        return action;
    };
    choice(QObject::tr("Nothing"), {});
    if (info.inputs.empty())
        listen->addAction(QObject::tr("No input device"))->setEnabled(false);
    for (const PlayerMenuInfo::Input& input : info.inputs)
        choice(input.description, input.id);
    const bool away = !info.listeningTo.isEmpty() &&
                      std::none_of(info.inputs.begin(), info.inputs.end(),
                                   [&](const PlayerMenuInfo::Input& i) { return i.id == info.listeningTo; });
    if (away)
        choice(QObject::tr("%1 (away)").arg(info.listeningToName), info.listeningTo)->setEnabled(false);
}

}  // namespace

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
    life->setAccessibleName(life->title());
    auto* group = new QActionGroup(life);
    const QString names[] = {QObject::tr("Still"), QObject::tr("Blinking"), QObject::tr("Blinking and breathing"),
                             QObject::tr("Blinking, breathing and idle motion")};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* action = life->addAction(names[mode], [set = actions.setLifeMode, mode] { set(mode); });
        action->setCheckable(true);
        action->setChecked(mode == info.lifeMode);
        group->addAction(action);
    }
    addListenMenu(menu, info, actions);
}

}  // namespace vizmo::player
