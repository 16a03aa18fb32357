#include "speech_panel/speech_sliders.h"

#include "components/speech_component.h"

namespace vizmo::speech_panel {

using namespace dispatch;

SpeechSliders::SpeechSliders(form::WindowControls& controls, const Handle& speech)
    : c_(controls), KVTTSComponent1(speech)
{
    c_.Slider4->onChange([this] { Slider4_Change(); });
    c_.Slider3->onChange([this] { Slider3_Change(); });
    c_.Slider5->onChange([this] { Slider5_Change(); });
}

void SpeechSliders::Slider4_Change() { KVTTSComponent1.put(speech::id::Pitch, I4(c_.Slider4->value())); }
void SpeechSliders::Slider3_Change() { KVTTSComponent1.put(speech::id::Speed, I4(c_.Slider3->value())); }
void SpeechSliders::Slider5_Change() { KVTTSComponent1.put(speech::id::Volume, I4(c_.Slider5->value())); }

}  // namespace vizmo::speech_panel
