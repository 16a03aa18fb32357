#include "components/player/vizmo4.h"

#include "components/player/control_bar.h"
#include "components/player/player_menu.h"
#include "components/player_control.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>

#include <utility>

// The mouse over the player: the control bar's buttons and track, the
// MouseDown, MouseUp, Click, DoubleClick, MouseEnter and MouseLeave events,
// and the context menu.

namespace vizmo::player {

using dispatch::Args;
using dispatch::Variant;

namespace {
int mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}
}  // namespace

void Vizmo4::raiseMouse(int position, QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Args args{Variant::i2(std::int16_t(mouseButton(event->button()))),
              Variant::i2(std::int16_t(shiftState(event->modifiers()))), Variant::i4(at.x()), Variant::i4(at.y())};
    raiseEvent(position, args);
}

void Vizmo4::mousePressEvent(QMouseEvent* event)
{
    if (controStyle_ == 1 && event->button() == Qt::LeftButton) {
        const ControlBarLayout bar = controlBarLayout(rect());
        switch (hitControlBar(bar, event->position())) {
        case ControlBarHit::PlayPause:
            timeline_.state() == PlaybackState::Playing ? pausePlayback() : startPlayback();
            return;
        case ControlBarHit::Stop: stopPlayback(); return;
        case ControlBarHit::Track:
            seeking_ = true;
            seekTo(trackFraction(bar, event->position()));
            return;
        case ControlBarHit::Bar: return;
        case ControlBarHit::None: break;
        }
    }
    pressedButtons_ |= event->button();
    if (event->button() == Qt::LeftButton)
        clickOnRelease_ = true;
    raiseMouse(event::MouseDown, event);
}

void Vizmo4::mouseMoveEvent(QMouseEvent* event)
{
    if (seeking_)
        seekTo(trackFraction(controlBarLayout(rect()), event->position()));
}

void Vizmo4::mouseReleaseEvent(QMouseEvent* event)
{
    if (seeking_ && event->button() == Qt::LeftButton) {
        seeking_ = false;
        return;
    }
    if (!(pressedButtons_ & event->button()))
        return;
    pressedButtons_ &= ~event->button();
    raiseMouse(event::MouseUp, event);
    if (event->button() == Qt::LeftButton && std::exchange(clickOnRelease_, false) &&
        rect().contains(event->position().toPoint()))
        raiseEvent(event::Click);
    if (event->button() == Qt::RightButton && deferredMenuAt_) {
        const QPoint at = *deferredMenuAt_;
        deferredMenuAt_.reset();
        showMenu(at);
    }
}

// Qt sends press, release, double click, release; the double click stands in
// for the second press: MouseDown, DoubleClick, then MouseUp without a Click.
void Vizmo4::mouseDoubleClickEvent(QMouseEvent* event)
{
    const bool onBar = controStyle_ == 1 && hitControlBar(controlBarLayout(rect()), event->position()) != ControlBarHit::None;
    if (event->button() != Qt::LeftButton || onBar) {
        mousePressEvent(event);
        return;
    }
    pressedButtons_ |= Qt::LeftButton;
    clickOnRelease_ = false;
    raiseMouse(event::MouseDown, event);
    raiseEvent(event::DoubleClick);
}

// Qt may repeat Enter or Leave around popups and grabs; the host hears each
// crossing once.
void Vizmo4::enterEvent(QEnterEvent*)
{
    if (std::exchange(pointerInside_, true))
        return;
    raiseEvent(event::MouseEnter);
}

void Vizmo4::leaveEvent(QEvent*)
{
    if (!std::exchange(pointerInside_, false))
        return;
    raiseEvent(event::MouseLeave);
}

void Vizmo4::contextMenuEvent(QContextMenuEvent* event)
{
    if (menuStyle_ < 0)
        return;
    // On X11 this comes with the right press; the menu waits for the release.
    if (event->reason() == QContextMenuEvent::Mouse && (pressedButtons_ & Qt::RightButton)) {
        deferredMenuAt_ = event->globalPos();
        return;
    }
    showMenu(event->globalPos());
}

void Vizmo4::showMenu(QPoint globalPos)
{
    PlayerMenuInfo info;
    info.style = menuStyle_;
    info.state = timeline_.state();
    info.hasScript = bool(script_);
    info.modelName = modelPath_.isEmpty() ? QString() : model_.name + QStringLiteral(" (") +
                                                              QFileInfo(modelPath_).fileName() + u')';
    info.scriptName = script_ ? (script_->title.isEmpty() ? script_->fileName
                                                          : script_->title + QStringLiteral(" (") + script_->fileName + u')')
                              : QString();
    info.lifeMode = lifeMode_;
    if (info.style >= 1) {
        for (const auto& input : listener_->inputs())
            info.inputs.push_back({input.id, input.description});
        info.listeningTo = listener_->input();
        info.listeningToName = listener_->inputDescription();
    }
    QMenu menu(this);
    menu.setAccessibleName(tr("Player"));
    fillPlayerMenu(menu, info,
                   {[this] { startPlayback(); }, [this] { pausePlayback(); }, [this] { stopPlayback(); },
                    [this](int mode) { setLifeMode(mode); },
                    [this](const QByteArray& input) { listenTo(QString::fromUtf8(input)); }});
    menu.exec(globalPos);
}

}  // namespace vizmo::player
