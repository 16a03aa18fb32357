#pragma once
// The speech page's three sliders: pitch, speed and volume of the speech
// component. Each change puts the slider's value, read afresh, into its
// property.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::speech_panel {

class SpeechSliders {
public:
    SpeechSliders(form::WindowControls& controls, const dispatch::Handle& speech);

    void Slider4_Change();  // Pitch
    void Slider3_Change();  // Speed
    void Slider5_Change();  // Volume

private:
    form::WindowControls& c_;
    const dispatch::Handle& KVTTSComponent1;
};

}  // namespace vizmo::speech_panel
