#pragma once
// The player's nine sliders: strength and frame rate, head, eyes and
// shoulders. Each change makes exactly one component call with values read
// afresh from the sliders.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::player_panel {

class PoseSliders {
public:
    PoseSliders(form::WindowControls& controls, const dispatch::Handle& player);

    void Slider1_Change();   // Strength
    void Slider12_Change();  // frame rate
    void shouldersChanged(); // Slider2, Slider6
    void headChanged();      // Slider7, Slider9, Slider10
    void eyesChanged();      // Slider8, Slider11

private:
    form::WindowControls& c_;
    const dispatch::Handle& Vizmo41;
};

// An eye slider's position halved and rounded down (towards negative infinity).
std::int16_t halvedEye(int sliderValue);

}  // namespace vizmo::player_panel
