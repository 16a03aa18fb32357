#pragma once
// Positions and sizes of the window are given in twips (1/1440 inch); the
// screen says how many twips make one pixel.

#include <QRect>

namespace vizmo::platform {

struct TwipsScale {
    double x = 15.0;  // twips per pixel, horizontally
    double y = 15.0;  // and vertically

    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    QRect toPixels(int left, int top, int width, int height) const;
};

// Twips per pixel for a logical resolution in dots per inch: 15 at 96, 12 at 120.
double twipsPerPixelForDpi(double dotsPerInch);

}  // namespace vizmo::platform
