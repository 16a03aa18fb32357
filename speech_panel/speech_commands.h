#pragma once
// The speech page: the engine and voice lists, the text, Play, Pause and Stop,
// and the strip's back and fore colours. Everything is written into the
// SpeechComponent; only the voice list is ever read back.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::speech_panel {

class SpeechCommands {
public:
    SpeechCommands(form::WindowControls& controls, const dispatch::Handle& speech);

    void Combo1_Click();     // engine
    void Combo2_Click();     // voice
    void Text2_LostFocus();  // text commit
    void Command27_Click();  // Play
    void Command31_Click();  // Pause
    void Command28_Click();  // Stop
    void Command29_Click();  // BackColor
    void Command30_Click();  // ForeColor

private:
    form::WindowControls& c_;
    const dispatch::Handle& KVTTSComponent1;
};

}  // namespace vizmo::speech_panel
