#pragma once
// A screen and a mouse pointer that tests set by hand.

#include "platform/cursor.h"
#include "platform/screen.h"

#include <cstdint>

namespace vizmo::testing {

class FakeScreen : public platform::Screen {
public:
    FakeScreen(float twipsPerPixel = 15.0f, int widthPixels = 1024, int heightPixels = 768)
        : tppX_(twipsPerPixel), tppY_(twipsPerPixel), widthPixels_(widthPixels), heightPixels_(heightPixels)
    {
    }

    void setTwipsPerPixel(float x, float y) { tppX_ = x; tppY_ = y; }
    void setPixelSize(int width, int height) { widthPixels_ = width; heightPixels_ = height; }

    float twipsPerPixelX() const override { return tppX_; }
    float twipsPerPixelY() const override { return tppY_; }
    float width() const override { return float(widthPixels_) * tppX_; }
    float height() const override { return float(heightPixels_) * tppY_; }

private:
    float tppX_;
    float tppY_;
    int widthPixels_;
    int heightPixels_;
};

class FakeCursor : public platform::Cursor {
public:
    void moveTo(std::int32_t x, std::int32_t y) { x_ = x; y_ = y; }
    // While failing, the query reports failure and leaves its arguments alone.
    void setFailing(bool failing) { failing_ = failing; }
    int queries() const { return queries_; }

    bool position(std::int32_t& x, std::int32_t& y) const override
    {
        ++queries_;
        if (failing_)
            return false;
        x = x_;
        y = y_;
        return true;
    }

private:
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    bool failing_ = false;
    mutable int queries_ = 0;
};

}  // namespace vizmo::testing
