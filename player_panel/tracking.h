#pragma once
// Mouse-follow tracking: while the Tracking box is ticked, every timer tick
// poses the player's eyes and head from the pointer's offset to the centre of
// the primary screen. Clicking the box recentres the head and eye sliders.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::platform {
class Cursor;
class Screen;
}  // namespace vizmo::platform

namespace vizmo::player_panel {

// The pointer's offset from the screen's centre as eye and head values, before
// they are made 16-bit integers (which may overflow off the primary screen).
struct TrackingOffsets {
    double eyeX, eyeY;
    double headX, headY;
};

// For a pointer at (x, y) pixels on a screen whose centre is (cx, cy) pixels.
TrackingOffsets trackingOffsets(std::int32_t x, std::int32_t y, double cx, double cy);

// The centre of the primary screen in pixels, from its size in twips.
double screenCentre(float sizeTwips, float twipsPerPixel);

class Tracking {
public:
    Tracking(form::WindowControls& controls, const dispatch::Handle& player, const platform::Screen& screen,
             const platform::Cursor& cursor);

    void Check3_Click();
    void Timer1_Timer();  // the tracking tick

private:
    form::WindowControls& c_;
    const dispatch::Handle& Vizmo41;
    const platform::Screen& screen_;
    const platform::Cursor& cursor_;
};

}  // namespace vizmo::player_panel
