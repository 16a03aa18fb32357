#pragma once
// A timer without a widget: ticks every Interval milliseconds while the
// interval is above 0 and the timer is enabled; each tick's handler runs
// through the event boundary.

#include <QObject>
#include <QTimer>

#include <functional>

namespace vizmo::platform {

class ErrorReporter;

class Timer {
public:
    explicit Timer(ErrorReporter& reporter);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    QString name() const { return name_; }
    void setName(const QString& name) { name_ = name; }

    int interval() const { return interval_; }
    // 0 stops the timer; 1..65535 (re)starts it; anything else is error 380.
    void setInterval(int milliseconds);

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool running() const { return timer_.isActive(); }

    void onTimer(std::function<void()> handler) { timerHandler_ = std::move(handler); }
    // One tick now, as the clock would give it: for tests.
    void tick();

private:
    void apply();

    ErrorReporter& reporter_;
    QString name_;
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = true;
    std::function<void()> timerHandler_;
};

}  // namespace vizmo::platform
