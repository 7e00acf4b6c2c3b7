#pragma once
// Angles of the knob: degrees, 0 pointing straight up from the centre, counter-clockwise
// positive; control coordinates with y growing downward.

#include <optional>

namespace tesmar {

struct KnobPoint {
    double x = 0;
    double y = 0;
};

// The point at angle `angle` and radius `radius` from the centre (cx, cy).
KnobPoint PointOnKnob(double cx, double cy, double radius, double angle);

// Angle of entry `index` of `count` evenly spaced entries from `start` to `stop`.
double EntryAngle(int index, int count, double start, double stop);

// The angle the mouse point (px, py) points to, limited to the scale; nothing at the centre.
std::optional<double> AngleFromPoint(double cx, double cy, double px, double py, double start, double stop);

} // namespace tesmar
