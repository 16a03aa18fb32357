#pragma once
// Lets a frame through only when it would look different from the last one
// shown. Each moving measure of the frame is listed with how many pixels one
// unit of it moves on screen; a frame passes when any of them moved by more
// than a quarter of a pixel since the last frame that passed, or when the
// list itself changed (another model, size or property).

#include <vector>

namespace vizmo::player {

class FrameGate {
public:
    static constexpr double kThresholdPx = 0.25;

    // Lists one measure of the frame being considered.
    void add(double value, double pixelsPerUnit) { next_.push_back(value * pixelsPerUnit); }
    // Ends the list: true when the frame should be drawn.
    bool passes();
    // The next frame passes whatever it holds (something not listed changed).
    void invalidate() { shown_.clear(); }

private:
    std::vector<double> shown_;
    std::vector<double> next_;
};

}  // namespace vizmo::player
