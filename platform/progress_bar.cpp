#include "platform/progress_bar.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace vizmo::platform {

namespace {
// Steps of the Qt bar, which only takes integers: fine enough for any width in pixels.
constexpr int kSteps = 10000;
}

ProgressBar::ProgressBar(QWidget* parent, ErrorReporter& reporter) : Control(new QProgressBar(parent), reporter)
{
    bar()->setRange(0, kSteps);
    bar()->setTextVisible(false);
    bar()->setFocusPolicy(Qt::NoFocus);
    show();
}

QProgressBar* ProgressBar::bar() const { return static_cast<QProgressBar*>(widget()); }

void ProgressBar::setMax(float max)
{
    max_ = std::isfinite(max) && max > 0.0f ? max : 0.0f;
    value_ = std::min(value_, max_);
    show();
}

void ProgressBar::setValue(float value)
{
    if (std::isnan(value))
        value = 0.0f;
    value_ = std::clamp(value, 0.0f, max_);
    show();
}

double ProgressBar::fraction() const { return max_ > 0.0f ? double(value_) / double(max_) : 0.0; }

void ProgressBar::show() { bar()->setValue(int(std::lround(fraction() * kSteps))); }

}  // namespace vizmo::platform
