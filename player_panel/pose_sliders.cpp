#include "player_panel/pose_sliders.h"

#include "components/dispatch/conversion.h"
#include "components/player_control.h"

#include <cmath>

namespace vizmo::player_panel {

using namespace dispatch;

std::int16_t halvedEye(int sliderValue)
{
    return toInt16(std::floor(double(sliderValue) / 2.0));
}

PoseSliders::PoseSliders(form::WindowControls& controls, const Handle& player)
    : c_(controls), Vizmo41(player)
{
    c_.Slider1->onChange([this] { Slider1_Change(); });
    c_.Slider12->onChange([this] { Slider12_Change(); });
    for (platform::Slider* s : {c_.Slider2, c_.Slider6})
        s->onChange([this] { shouldersChanged(); });
    for (platform::Slider* s : {c_.Slider7, c_.Slider9, c_.Slider10})
        s->onChange([this] { headChanged(); });
    for (platform::Slider* s : {c_.Slider8, c_.Slider11})
        s->onChange([this] { eyesChanged(); });
}

void PoseSliders::Slider1_Change() { Vizmo41.put(player::id::Strength, I4(c_.Slider1->value())); }

void PoseSliders::Slider12_Change() { Vizmo41.call(player::id::SetFPS, {I4(0), I4(c_.Slider12->value())}); }

void PoseSliders::shouldersChanged()
{
    const auto left = std::int16_t(c_.Slider2->value());
    const auto right = std::int16_t(c_.Slider6->value());
    Vizmo41.call(player::id::SetShoulder, {I2(left), I2(right)});
}

void PoseSliders::headChanged()
{
    // Clearing a ticked Tracking box recentres all five pose sliders, nested,
    // before the sliders are read here.
    c_.Check3->setValue(0);
    const auto x = std::int16_t(c_.Slider7->value());
    const auto y = std::int16_t(c_.Slider9->value());
    const auto z = std::int16_t(c_.Slider10->value());
    Vizmo41.call(player::id::SetHead, {I2(x), I2(y), I2(z)});
}

void PoseSliders::eyesChanged()
{
    c_.Check3->setValue(0);
    const std::int16_t x1 = halvedEye(c_.Slider8->value());
    const std::int16_t y1 = halvedEye(c_.Slider11->value());
    const std::int16_t x2 = halvedEye(c_.Slider8->value());
    const std::int16_t y2 = halvedEye(c_.Slider11->value());
    Vizmo41.call(player::id::SetEye, {I2(x1), I2(y1), I2(x2), I2(y2)});
}

}  // namespace vizmo::player_panel
