#pragma once
// Rapid eye movements as the main sequence describes them: duration grows
// linearly with amplitude (about 21 ms + 2.2 ms per degree), peak velocity
// grows and saturates (about 370 deg/s at 10 degrees, 580 at 40). Angles in
// degrees, times in seconds.

namespace vizmo::player {

struct GazeAngles {
    double x = 0;  // degrees, + towards the viewer's right
    double y = 0;  // degrees, + up
};

double distance(GazeAngles a, GazeAngles b);

namespace saccade {
inline constexpr double kBaseSeconds = 0.021;
inline constexpr double kSecondsPerDegree = 0.0022;
double duration(double amplitudeDeg);
// The velocity profile is a raised cosine: its peak is pi/2 times the mean.
double peakVelocity(double amplitudeDeg);
}  // namespace saccade

// One movement from `from` to `to`, starting at `start` and taking `duration`.
struct Movement {
    GazeAngles from, to;
    double start = -1e9;
    double duration = 0;

    GazeAngles at(double seconds) const;
    bool done(double seconds) const { return seconds >= start + duration; }
};

// A saccade from `from` to `to` with the main sequence's duration.
Movement saccadeTo(GazeAngles from, GazeAngles to, double start);

}  // namespace vizmo::player
