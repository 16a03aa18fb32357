#include "player_panel/player_events.h"

#include "components/player_control.h"
#include "platform/event_boundary.h"

namespace vizmo::player_panel {

using namespace dispatch;

PlayerEvents::PlayerEvents(form::WindowControls& controls, platform::ErrorReporter& reporter)
    : c_(controls), reporter_(reporter)
{
    c_.Vizmo41->onValidate([this](bool& cancel) { Validate(cancel); });
}

void PlayerEvents::handleEvent(Object&, int position, Args& args)
{
    platform::runHandler(reporter_, [&] {
        namespace ev = player::event;
        switch (position) {
        case ev::Click: show(QStringLiteral("Click")); break;
        case ev::DoubleClick: show(QStringLiteral("DoubleClick")); break;
        case ev::MouseDown: show(QStringLiteral("MouseDown")); break;
        case ev::MouseUp: show(QStringLiteral("MouseUp")); break;
        case ev::Eof: Eof(); break;
        case ev::Progress:
            if (args.size() == 4)
                Progress(args[2].toInt32(), args[3].toInt32());
            break;
        case ev::MouseEnter: show(QStringLiteral("MouseEnter")); break;
        case ev::MouseLeave: show(QStringLiteral("MouseLeave")); break;
        case ev::Play: show(QStringLiteral("Play")); break;
        case ev::Pause: show(QStringLiteral("Pause")); break;
        case ev::Stop: show(QStringLiteral("Stop")); break;
        default: break;  // the two load notifications are not shown
        }
    });
}

void PlayerEvents::show(const QString& eventName) { c_.Text5->setText(eventName); }

void PlayerEvents::Progress(std::int32_t current, std::int32_t total)
{
    c_.Text1->setText(QString::number(current) + QLatin1Char('/') + QString::number(total));
    // Max first, so the new value is measured against the new total; the bar
    // keeps a sane range for any numbers it is given.
    c_.ProgressBar1->setMax(float(total));
    c_.ProgressBar1->setValue(float(current));
}

void PlayerEvents::Eof()
{
    show(QStringLiteral("Eof"));
    if (c_.SSTab1->caption() != QLatin1String("Demo"))
        return;
    // Model first, then script: each selection hands its file to the player
    // from inside this event.
    if (c_.Check1->value() == 1)
        advance(*c_.File1);
    if (c_.Check2->value() == 1)
        advance(*c_.File2);
}

void PlayerEvents::advance(platform::FileListBox& list)
{
    if (list.listIndex() == list.listCount() - 1)
        list.setSelected(0, true);
    else
        list.setSelected(list.listIndex() + 1, true);
}

void PlayerEvents::Validate(bool& /*cancel*/)
{
    show(QStringLiteral("Validate"));
}

}  // namespace vizmo::player_panel
