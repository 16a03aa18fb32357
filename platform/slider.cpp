#include "platform/slider.h"

#include "platform/control_errors.h"

#include <QSlider>

namespace vizmo::platform {

Slider::Slider(QWidget* parent, ErrorReporter& reporter) : Control(new QSlider(Qt::Horizontal, parent), reporter)
{
    slider()->setTickPosition(QSlider::NoTicks);
    slider()->setRange(0, 10);
    // Without tracking, a drag moves only the thumb and sets Value once, when the
    // user lets go: the drag raises no Change of its own. Keys, page clicks, the
    // wheel and setValue set Value at once, each raising one Change.
    slider()->setTracking(false);
    QObject::connect(slider(), &QSlider::valueChanged, connections(), [this] { raise(changeHandler_); });
}

QSlider* Slider::slider() const { return static_cast<QSlider*>(widget()); }

int Slider::min() const { return slider()->minimum(); }

int Slider::max() const { return slider()->maximum(); }

void Slider::setRange(int min, int max)
{
    if (min > max)
        throwInvalidPropertyValue(name(), "Max");
    slider()->setRange(min, max);
}

int Slider::value() const { return slider()->value(); }

void Slider::setValue(int value)
{
    if (value < min() || value > max())
        throwInvalidPropertyValue(name(), "Value");
    slider()->setValue(value);
}

void Slider::setTickFrequency(int frequency)
{
    if (frequency < 1)
        throwInvalidPropertyValue(name(), "TickFrequency");
    tickFrequency_ = frequency;
    slider()->setTickInterval(frequency);
}

int Slider::smallChange() const { return slider()->singleStep(); }

void Slider::setSmallChange(int change)
{
    if (change < 0)
        throwInvalidPropertyValue(name(), "SmallChange");
    slider()->setSingleStep(change);
}

int Slider::largeChange() const { return slider()->pageStep(); }

void Slider::setLargeChange(int change)
{
    if (change < 0)
        throwInvalidPropertyValue(name(), "LargeChange");
    slider()->setPageStep(change);
}

}  // namespace vizmo::platform
