#include "ui/knob/KnobGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesmar {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

} // namespace

KnobPoint PointOnKnob(double cx, double cy, double radius, double angle) {
    return {cx - radius * std::sin(angle * kDegree), cy - radius * std::cos(angle * kDegree)};
}

double EntryAngle(int index, int count, double start, double stop) {
    if (count <= 1)
        return start;
    return start - index * (start - stop) / (count - 1);
}

std::optional<double> AngleFromPoint(double cx, double cy, double px, double py, double start, double stop) {
    const double dx = cx - px;
    const double dy = cy - py;
    const double d = std::hypot(dx, dy);
    if (d == 0)
        return std::nullopt;
    if (dx == 0 && dy < 0) // straight below: to whichever end of the scale reaches further round
        return std::fabs(stop) > start ? stop : start;
    double a = 0;
    if (dy >= 0) {
        a = std::asin(std::clamp(dx / d, -1.0, 1.0)) / kDegree;
    } else {
        const double sign = dx > 0 ? 1.0 : -1.0;
        a = std::asin(std::clamp(-dx / d, -1.0, 1.0)) / kDegree + 180.0 * sign;
    }
    if (a > 180)
        a -= 360;
    a = std::min(start, a);
    a = std::max(stop, a);
    return a;
}

} // namespace tesmar
