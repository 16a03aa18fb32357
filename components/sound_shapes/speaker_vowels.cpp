#include "components/sound_shapes/speaker_vowels.h"

#include <cmath>

namespace vizmo::sound_shapes {

namespace {
constexpr double kStep = 0.012;  // 1.2 % a frame
double toward(double current, double value)
{
    return current + (value > current ? kStep : value < current ? -kStep : 0.0);
}
}  // namespace

void SpeakerVowels::add(double f1, double f2)
{
    if (f1 <= 0 || f2 <= 0)
        return;
    logF1_ = toward(logF1_, std::log(f1));
    logF2_ = toward(logF2_, std::log(f2));
}

double SpeakerVowels::f1() const { return std::exp(logF1_); }
double SpeakerVowels::f2() const { return std::exp(logF2_); }

}  // namespace vizmo::sound_shapes
