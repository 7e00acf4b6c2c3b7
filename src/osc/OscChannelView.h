#pragma once
// Vertical rules of one analogue channel (range knob, zero menu, automatic range and zero) and
// the marker readouts taken from a drawn curve.

#include "OscTimeAxis.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesmar {

// The axis after the range knob moved to `volts`: the zero line keeps its relative height.
AxisRange RescaleForRange(const AxisRange& axis, double volts);
// The zero menu item with tag 10 … 90: that share of the height lies above zero.
AxisRange ZeroMenuAxis(double volts, int tag);

struct AutoRangeInput {
    double yMax = 0, yMin = 0;            // of the drawn curve
    std::span<const double> knobValues;   // the range knob's entries, volts
    bool autoRange = false, autoZero = false;
    AxisRange axis;                       // current axis of the channel
};
struct AutoRangeResult {
    std::optional<int> knobIndex;         // select this entry (its change handler rescales)
    std::optional<AxisRange> shiftedAxis; // then apply this axis (auto zero)
};
// `axisAfterKnob` gives the axis the knob change leaves, for the zero shift to start from.
AutoRangeResult AutoRange(const AutoRangeInput& input, const AxisRange& axisAfterKnob);

// A channel's trigger level after its axis changed: bound to the signal it keeps its volts; bound
// to the screen its line keeps its height and the level becomes the new axis value there.
double LevelAfterAxisChange(double level, const AxisRange& before, const AxisRange& after, bool snapToSignal);

// A drawn curve: x of its first point and the step between points, in axis units.
struct CurveSamples {
    std::span<const double> values;
    double firstX = 0, step = 1;
};
// The voltage at axis time t, linearly between neighbours; none outside the curve.
std::optional<double> CurveValueAt(const CurveSamples& curve, double t);

// "%5.0f" above 1000, "%5.1f" above 100, else "%5.2f", with the decimal separator, then `unit`.
std::string FormatReadout(double value, const std::string& unit, char decimalSeparator);

} // namespace tesmar
