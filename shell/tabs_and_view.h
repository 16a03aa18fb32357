#pragma once
// Tab changes stop both components and switch the strip under the player;
// Command32 collapses the window to the player alone or expands it again.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::platform {
class Screen;
class Window;
}  // namespace vizmo::platform

namespace vizmo::shell {

class TabsAndView {
public:
    TabsAndView(form::WindowControls& controls, platform::Window& window, const platform::Screen& screen,
                const dispatch::Handle& player, const dispatch::Handle& speech);

    void SSTab1_Click(int previousTab);
    void Command32_Click();

private:
    form::WindowControls& c_;
    platform::Window& window_;
    const platform::Screen& screen_;
    const dispatch::Handle& Vizmo41;
    const dispatch::Handle& KVTTSComponent1;
};

}  // namespace vizmo::shell
