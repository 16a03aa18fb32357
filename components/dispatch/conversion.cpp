#include "components/dispatch/conversion.h"

#include "components/dispatch/error.h"

#include <cmath>
#include <limits>

namespace vizmo::dispatch {

double roundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it; compute it explicitly instead.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {
template <typename T>
T convert(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        throw RuntimeError(err::Overflow, standardDescription(err::Overflow));
    return static_cast<T>(r);
}
}  // namespace

std::int16_t toInt16(double value) { return convert<std::int16_t>(value); }
std::int32_t toInt32(double value) { return convert<std::int32_t>(value); }

}  // namespace vizmo::dispatch
