#pragma once
// Calls back for the events of one type that reach a watched object, after
// the object itself has seen them.

#include <QEvent>
#include <QObject>

#include <functional>

namespace vizmo::platform {

class EventWatcher : public QObject {
public:
    EventWatcher(QObject* watched, QEvent::Type type, std::function<void(QEvent*)> callback, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* watched_;
    QEvent::Type type_;
    std::function<void(QEvent*)> callback_;
};

}  // namespace vizmo::platform
