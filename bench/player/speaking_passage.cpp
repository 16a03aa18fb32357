#include "speaking_passage.h"

#include "components/player_control.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace vizmo::bench {

namespace {

using dispatch::Bool;
using dispatch::I2;
using dispatch::I4;

struct Phone {
    int viseme;
    int weight;  // 0..255: stressed vowels loudest
    int ms;
};

// "Hello, how are you? Pleased to meet you. Five fine voices." as the lip
// sync sends it: one viseme a phone, about 80 ms each, eased over 40 ms.
constexpr std::array<Phone, 44> kPhones = {{
    {0, 255, 120},  {5, 200, 60},  {11, 230, 80},  {4, 200, 60},  {13, 255, 150}, {0, 255, 90},
    {5, 200, 50},   {10, 255, 120}, {14, 220, 70}, {10, 200, 80}, {9, 200, 50},   {12, 180, 40},
    {14, 240, 140}, {0, 255, 110}, {1, 255, 70},   {4, 200, 50},  {12, 255, 120}, {7, 220, 80},
    {4, 200, 40},   {14, 180, 70}, {1, 255, 70},   {12, 255, 110}, {4, 200, 50},  {12, 160, 40},
    {14, 230, 120}, {0, 255, 100}, {2, 255, 80},   {10, 255, 130}, {2, 230, 60},  {2, 255, 70},
    {10, 240, 120}, {8, 200, 60},  {2, 230, 60},   {13, 255, 130}, {7, 220, 80},  {12, 180, 50},
    {7, 200, 90},   {0, 255, 60},  {10, 150, 40},  {13, 160, 40}, {14, 200, 60},  {1, 255, 50},
    {11, 180, 40},  {0, 255, 110},
}};
constexpr int kBlendMs = 40;

// Sends the phones due by `ms`.
void speak(player::Vizmo4& player, std::size_t& next, double& nextMs, double ms)
{
    while (nextMs <= ms) {
        const Phone& phone = kPhones[next % kPhones.size()];
        player.call(player::id::SpeechViseme, {I2(std::int16_t(phone.viseme)), I2(std::int16_t(phone.weight)), I4(kBlendMs)});
        nextMs += phone.ms;
        ++next;
    }
}

// The head and eyes move as the player's own life moves them while it
// speaks (LifeMode 3, sampled frame by frame: nods of up to a hundredth of
// their range a frame at the 90th percentile, a turn and tilt that drift,
// eyes that jump): a small nod at each accent, 1.1 s apart, a slow drift of
// the turn and the tilt, and a saccade every 0.7 s, in the control's units
// (255 the head's limit, 128 the eye's corner).
void pose(player::Vizmo4& player, double ms)
{
    const double s = ms / 1000.0, turn = 2 * std::numbers::pi;
    const auto unit = [](double v) { return I2(std::int16_t(std::lround(v))); };
    const double accent = std::fmod(s, 1.1) / 0.5;  // a nod takes half a second
    const double nod = accent < 1 ? 0.5 * (1 - std::cos(turn * accent)) : 0.0;
    player.call(player::id::SetHead, {unit(255 * (0.06 * std::sin(turn * s / 4.3) + 0.02)),
                                      unit(255 * (0.1 * nod + 0.02 * std::sin(turn * s / 3.7))),
                                      unit(255 * 0.04 * std::sin(turn * s / 5.1 + 1.0))});
    // Each saccade takes 50 ms.
    constexpr std::array<std::array<double, 2>, 5> kLooks = {{{0, 0}, {0.3, 0.1}, {-0.25, 0.05}, {0.1, -0.15}, {-0.1, 0.2}}};
    const auto look = std::size_t(s / 0.7);
    const auto& from = kLooks[(look + kLooks.size() - 1) % kLooks.size()];
    const auto& to = kLooks[look % kLooks.size()];
    const double travel = std::clamp(std::fmod(s, 0.7) / 0.05, 0.0, 1.0);
    const double eyeX = 128 * (from[0] + (to[0] - from[0]) * travel);
    const double eyeY = 128 * (from[1] + (to[1] - from[1]) * travel);
    player.call(player::id::SetEye, {unit(eyeX), unit(eyeY), unit(eyeX), unit(eyeY)});
}

void ready(player::Vizmo4& player, double& nowMs)
{
    player.setClock([&nowMs] { return nowMs; });
    player.put(player::id::LifeMode, I2(1));
    player.call(player::id::SpeechActive, {Bool(true)});
}

int countBlinks(player::Vizmo4& player)
{
    double nowMs = 0;
    ready(player, nowMs);
    std::size_t next = 0;
    double nextMs = 0;
    int blinks = 0;
    bool shut = false;
    for (; nowMs <= SpeakingPassage::kSeconds * 1000; nowMs += 1000.0 / 60) {
        speak(player, next, nextMs, nowMs);
        const bool nowShut = player.currentPose().blink > 0.5;
        blinks += nowShut && !shut;
        shut = nowShut;
    }
    player.setClock([] { return 0.0; });
    return blinks;
}

// Builds whose life takes a seed blink at random times: the first seed whose
// passage has one blink, so that every build's passage blinks once.
template <typename Player>
void blinkOnce(Player& player)
{
    if constexpr (requires { player.setLifeSeed(1u); }) {
        for (quint32 seed = 1; seed < 200; ++seed) {
            auto probe = std::make_unique<Player>();
            probe->setLifeSeed(seed);
            if (countBlinks(*probe) == 1) {
                player.setLifeSeed(seed);
                return;
            }
        }
    }
}

}  // namespace

SpeakingPassage::SpeakingPassage(player::Vizmo4& player) : player_(player)
{
    blinkOnce(player_);
    ready(player_, nowMs_);
}

void SpeakingPassage::at(double ms)
{
    nowMs_ = ms;
    speak(player_, nextPhone_, nextPhoneMs_, ms);
    pose(player_, ms);
}

int SpeakingPassage::blinks(player::Vizmo4& player)
{
    blinkOnce(player);
    return countBlinks(player);
}

LiveSpeech::LiveSpeech(player::Vizmo4& player) : player_(player)
{
    player_.call(player::id::SpeechActive, {Bool(true)});
}

void LiveSpeech::at(double ms)
{
    speak(player_, nextPhone_, nextPhoneMs_, ms);
}

}  // namespace vizmo::bench
