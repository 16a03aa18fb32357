#pragma once
// The value buttons of the player's property grid, its colour swatch and its
// Play, Pause and Stop buttons: one-shot commands, nothing read back.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::player_panel {

class PropertyCommands {
public:
    PropertyCommands(form::WindowControls& controls, const dispatch::Handle& player);

    // Puts one value button's constant into its property as a 16-bit integer.
    void putValue(dispatch::DispId property, std::int16_t value);
    void Command7_Click();   // Play
    void Command26_Click();  // Pause
    void Command8_Click();   // Stop
    void Command21_Click();  // BackColor

private:
    form::WindowControls& c_;
    const dispatch::Handle& Vizmo41;
};

}  // namespace vizmo::player_panel
