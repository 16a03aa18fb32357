#include "platform/timer.h"

#include "components/dispatch/call_wait.h"

#include "platform/control_errors.h"
#include "platform/event_boundary.h"

namespace vizmo::platform {

namespace {
constexpr int kMaxInterval = 65535;
}

Timer::Timer(ErrorReporter& reporter) : reporter_(reporter)
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
}

Timer::~Timer() { dispatch::forgetHeld(this); }

void Timer::setInterval(int milliseconds)
{
    if (milliseconds < 0 || milliseconds > kMaxInterval)
        throwInvalidPropertyValue(name_, "Interval");
    interval_ = milliseconds;
    apply();
}

void Timer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    apply();
}

void Timer::apply()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);  // a new interval counts from now
    else
        timer_.stop();
}

// Ticks that come while a call waits are held as one: a timer that could not
// fire for a while fires once when it can.
void Timer::tick() { raiseNotification(reporter_, this, timerHandler_, this); }

}  // namespace vizmo::platform
