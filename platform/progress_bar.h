#pragma once
// A progress bar from 0 to Max, with fractional values. It never raises an
// error: a Max of 0 or less, or a Value outside 0..Max, is clamped so the bar
// stays sane (a Max of 0 shows an empty bar).

#include "platform/control.h"

class QProgressBar;

namespace vizmo::platform {

class ProgressBar : public Control {
public:
    ProgressBar(QWidget* parent, ErrorReporter& reporter);

    float max() const { return max_; }
    void setMax(float max);
    float value() const { return value_; }
    void setValue(float value);

    // The fraction of the bar that is filled, 0..1.
    double fraction() const;

private:
    QProgressBar* bar() const;
    void show();

    float max_ = 100.0f;
    float value_ = 0.0f;
};

}  // namespace vizmo::platform
