#include "platform/event_watcher.h"

namespace vizmo::platform {

EventWatcher::EventWatcher(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> callback,
                           QObject* parent)
    : QObject(parent), watched_(watched), type_(type), callback_(std::move(callback))
{
    watched_->installEventFilter(this);
}

bool EventWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watched_ && event->type() == type_)
        callback_(event);
    return false;
}

}  // namespace vizmo::platform
