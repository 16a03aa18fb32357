#include "platform/twips.h"

#include <cmath>

namespace vizmo::platform {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

int TwipsScale::toPixelsX(double twips) const { return int(std::lround(twips / x)); }

int TwipsScale::toPixelsY(double twips) const { return int(std::lround(twips / y)); }

QRect TwipsScale::toPixels(int left, int top, int width, int height) const
{
    // Each edge is rounded on its own, so neighbours that touch in twips touch in pixels.
    const int x0 = toPixelsX(left);
    const int y0 = toPixelsY(top);
    return QRect(x0, y0, toPixelsX(left + width) - x0, toPixelsY(top + height) - y0);
}

double twipsPerPixelForDpi(double dotsPerInch)
{
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15.0;
}

}  // namespace vizmo::platform
