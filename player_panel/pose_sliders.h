#pragma once
// The twelve sliders: strength and frame rate, head, eyes and shoulders of the
// player, and pitch, speed and volume of the speech component. Each change
// makes exactly one component call with values read afresh from the sliders.

#include "components/dispatch/handle.h"
#include "shell/window_controls.h"

namespace vizmo::player_panel {

class PoseSliders {
public:
    PoseSliders(shell::WindowControls& controls, const dispatch::Handle& player, const dispatch::Handle& speech);

    void Slider1_Change();   // Strength
    void Slider12_Change();  // frame rate
    void shouldersChanged(); // Slider2, Slider6
    void headChanged();      // Slider7, Slider9, Slider10
    void eyesChanged();      // Slider8, Slider11
    void Slider4_Change();   // Pitch
    void Slider3_Change();   // Speed
    void Slider5_Change();   // Volume

private:
    shell::WindowControls& c_;
    const dispatch::Handle& Vizmo41;
    const dispatch::Handle& KVTTSComponent1;
};

// An eye slider's position halved and rounded down (towards negative infinity).
std::int16_t halvedEye(int sliderValue);

}  // namespace vizmo::player_panel
