#include "OscChannelView.h"

#include "dsp/SignalReadout.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

AxisRange RescaleForRange(const AxisRange& axis, double volts)
{
    const double span = 2 * volts;
    const double d = axis.max - axis.min;
    if (!(d > 0))
        return {-volts, volts};
    return {span * (axis.min / d), span * (axis.max / d)};
}

AxisRange ZeroMenuAxis(double volts, int tag)
{
    const double span = 2 * volts, a = tag / 100.0;
    return {span * (a - 1), span * a};
}

AutoRangeResult AutoRange(const AutoRangeInput& in, const AxisRange& axisAfterKnob)
{
    AutoRangeResult out;
    const double a = std::max(std::fabs(in.yMin), in.yMax);
    const double p = std::fabs(in.yMax - in.yMin);
    int i = a > 2.9 ? 11 : 0;
    double h = std::max(a, p);
    if (in.autoZero)
        h /= 2;
    const int count = static_cast<int>(in.knobValues.size());
    AxisRange axis = in.axis;
    if (in.autoRange && count > 0) {
        while (i < count && in.knobValues[i] < h)
            ++i;
        i = std::min(i, count - 1);
        out.knobIndex = i;
        axis = axisAfterKnob;
    }
    if (in.autoRange && in.autoZero && count > 0) {
        const double s = 2 * in.knobValues[*out.knobIndex];
        const double m = (in.yMax + in.yMin - axis.max - axis.min) / 2;
        if (std::fabs(m) * 20 > s) {
            AxisRange shifted{axis.min + m, axis.max + m};
            if (shifted.max > s)
                shifted = {shifted.min - (shifted.max - s), s};
            else if (shifted.min < -s)
                shifted = {-s, shifted.max + (-s - shifted.min)};
            out.shiftedAxis = shifted;
        }
    }
    return out;
}

double LevelAfterAxisChange(double level, const AxisRange& before, const AxisRange& after, bool snapToSignal)
{
    const double span = before.max - before.min;
    if (snapToSignal || !(span > 0))
        return level;
    return after.min + (level - before.min) / span * (after.max - after.min);
}

std::optional<double> CurveValueAt(const CurveSamples& c, double t)
{
    const int count = static_cast<int>(c.values.size());
    if (count < 2 || !(c.step > 0))
        return std::nullopt;
    const double lastX = c.firstX + (count - 1) * c.step;
    if (t < c.firstX || t > lastX)
        return std::nullopt;
    const int k = std::clamp(static_cast<int>(std::trunc((t - c.firstX) / c.step)), 0, count - 1);
    if (k == count - 1)
        return c.values[k];
    const double x0 = c.firstX + k * c.step;
    return c.values[k] + (c.values[k + 1] - c.values[k]) * (t - x0) / c.step;
}

std::string FormatReadout(double value, const std::string& unit, char decimalSeparator)
{
    const double a = std::fabs(value);
    const int precision = a > 1000 ? 0 : a > 100 ? 1 : 2;
    return FormatFixed(value, 5, precision, decimalSeparator) + unit;
}

} // namespace tesmar
