#pragma once
// The screen as the handlers see it: twips per pixel and the primary screen's
// size in twips, single precision.

namespace vizmo::platform {

class Screen {
public:
    virtual ~Screen() = default;
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
    virtual float width() const = 0;   // twips
    virtual float height() const = 0;  // twips
};

// The primary screen; twips per pixel = 1440 / its logical resolution.
class QtScreen : public Screen {
public:
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    float width() const override;
    float height() const override;
};

struct TwipsScale;
TwipsScale scaleOf(const Screen& screen);

}  // namespace vizmo::platform
