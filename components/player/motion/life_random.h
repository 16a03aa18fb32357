#pragma once
// The random draws the living face makes: uniform, normal and log-normal
// values from one seeded generator, so a fixed seed repeats a run exactly.

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace vizmo::player {

class LifeRandom {
public:
    explicit LifeRandom(quint32 seed) : generator_(seed) {}

    double uniform(double low, double high) { return low + (high - low) * generator_.generateDouble(); }
    bool chance(double probability) { return generator_.generateDouble() < probability; }
    // Box–Muller: one standard normal value per call.
    double normal(double mean, double deviation)
    {
        const double u = std::max(1e-12, generator_.generateDouble());
        const double v = generator_.generateDouble();
        return mean + deviation * std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }
    // Human timing is skewed to the long side: a log-normal value around `median`.
    double logNormal(double median, double sigma, double low, double high)
    {
        return std::clamp(median * std::exp(normal(0.0, sigma)), low, high);
    }
    quint32 next() { return generator_.generate(); }

private:
    QRandomGenerator generator_;
};

}  // namespace vizmo::player
