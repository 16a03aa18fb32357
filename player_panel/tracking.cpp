#include "player_panel/tracking.h"

#include "components/dispatch/conversion.h"
#include "components/player_control.h"
#include "platform/cursor.h"
#include "platform/screen.h"

#include <cmath>

namespace vizmo::player_panel {

using namespace dispatch;

double screenCentre(float sizeTwips, float twipsPerPixel)
{
    // Both are made whole first; the pixel count is an integer quotient.
    const std::int32_t size = toInt32(sizeTwips);
    const std::int32_t perPixel = toInt32(twipsPerPixel);
    if (perPixel == 0)
        throw RuntimeError(11, QStringLiteral("Division by zero"));
    return double(size / perPixel) / 2.0;
}

TrackingOffsets trackingOffsets(std::int32_t x, std::int32_t y, double cx, double cy)
{
    // Floor before the division by 4; the eyes look up when the pointer is
    // above the centre, while the head's y grows downwards.
    return {std::floor(((x - cx) / cx) * 255.0) / 4.0, std::floor(((cy - y) / cy) * 255.0) / 4.0,
            std::floor(((x - cx) / cx) * 255.0), std::floor(((y - cy) / cy) * 255.0)};
}

Tracking::Tracking(form::WindowControls& controls, const Handle& player, const platform::Screen& screen,
                   const platform::Cursor& cursor)
    : c_(controls), Vizmo41(player), screen_(screen), cursor_(cursor)
{
    c_.Check3->onClick([this] { Check3_Click(); });
    c_.Timer1->onTimer([this] { Timer1_Timer(); });
}

void Tracking::Check3_Click()
{
    // Each slider that moves runs its own change handler at once, nested.
    c_.Slider7->setValue(0);
    c_.Slider8->setValue(0);
    c_.Slider9->setValue(0);
    c_.Slider10->setValue(0);
    c_.Slider11->setValue(0);
}

void Tracking::Timer1_Timer()
{
    if (c_.Check3->value() != 1)
        return;
    std::int32_t x = 0;
    std::int32_t y = 0;
    (void)cursor_.position(x, y);  // a failed query leaves (0, 0)
    const double cx = screenCentre(screen_.width(), screen_.twipsPerPixelX());
    const double cy = screenCentre(screen_.height(), screen_.twipsPerPixelY());
    const TrackingOffsets o = trackingOffsets(x, y, cx, cy);
    // The eyes are sent before the head values are converted: a head value
    // that overflows still leaves the eyes posed.
    const std::int16_t eyeX = toInt16(o.eyeX);
    const std::int16_t eyeY = toInt16(o.eyeY);
    Vizmo41.call(player::id::SetEye, {I2(eyeX), I2(eyeY), I2(eyeX), I2(eyeY)});
    const std::int16_t headX = toInt16(o.headX);
    const std::int16_t headY = toInt16(o.headY);
    const std::int16_t headZ = toInt16(o.headX / 2.0);
    Vizmo41.call(player::id::SetHead, {I2(headX), I2(headY), I2(headZ)});
}

}  // namespace vizmo::player_panel
