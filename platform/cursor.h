#pragma once
// The mouse pointer's position in pixels from the primary screen's top-left
// corner, y growing downwards.

#include <cstdint>

namespace vizmo::platform {

class Cursor {
public:
    virtual ~Cursor() = default;
    // Fills x and y; false when the position cannot be had (they are then left alone).
    virtual bool position(std::int32_t& x, std::int32_t& y) const = 0;
};

class QtCursor : public Cursor {
public:
    bool position(std::int32_t& x, std::int32_t& y) const override;
};

}  // namespace vizmo::platform
