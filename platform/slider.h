#pragma once
// A horizontal slider with integer positions and no tick marks drawn. Change
// is raised on every change of Value, by code, a key, a page click or the
// wheel, and never when a value is set to what it already is. A drag with the
// mouse raises Change once, when the thumb is let go at a new position.

#include "platform/control.h"

class QSlider;

namespace vizmo::platform {

class Slider : public Control {
public:
    Slider(QWidget* parent, ErrorReporter& reporter);

    int min() const;
    int max() const;
    // A Value outside the new range moves to its nearer end (raising Change).
    void setRange(int min, int max);

    int value() const;
    // Outside Min..Max is error 380.
    void setValue(int value);

    int tickFrequency() const { return tickFrequency_; }
    void setTickFrequency(int frequency);
    int smallChange() const;
    void setSmallChange(int change);
    int largeChange() const;
    void setLargeChange(int change);

    void onChange(std::function<void()> handler) { changeHandler_ = std::move(handler); }

private:
    QSlider* slider() const;

    int tickFrequency_ = 1;
    std::function<void()> changeHandler_;
};

}  // namespace vizmo::platform
