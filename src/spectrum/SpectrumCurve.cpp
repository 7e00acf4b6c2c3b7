#include "SpectrumCurve.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

SpectrumCurvePoints MakeSpectrumCurve(std::span<const double> a, int length, double sampleRate, double unit,
                                      const SpectrumScale& scale, double Umax)
{
    SpectrumCurvePoints curve;
    const int half = std::clamp(length / 2, 0, static_cast<int>(a.size()));
    if (half == 0 || !(sampleRate > 0) || !(unit > 0))
        return curve;
    const double df = sampleRate / length / unit;
    const double ref = scale.referenceUmax ? Umax : kDbReferenceVolts;
    curve.x.reserve(half + 1);
    curve.y.reserve(half + 1);
    for (int k = 0; k < half; ++k) {
        double y = a[k];
        if (scale.dB) {
            if (ref <= 0.001 || a[k] <= 0)
                y = kDbFloor;
            else
                y = std::max(20.0 * std::log10(a[k] / ref), kDbFloor);
        }
        curve.x.push_back(k * df);
        curve.y.push_back(y);
    }
    curve.x.push_back(sampleRate / 2 / unit);
    curve.y.push_back(curve.y.back());
    return curve;
}

std::optional<AxisRange> SpectrumAxisFor(const SpectrumScale& scale, const AxisRange& current, double knobVolts)
{
    const bool dbMinimum = current.min == kDbAxisMin;
    if (!scale.dB)
        return dbMinimum ? std::optional<AxisRange>(AxisRange{0.0, knobVolts}) : std::nullopt;
    if (scale.referenceUmax) {
        if (current.max == kDbAxisMaxReference || !dbMinimum)
            return AxisRange{kDbAxisMin, kDbAxisMaxUmax};
    } else if (current.max == kDbAxisMaxUmax || !dbMinimum) {
        return AxisRange{kDbAxisMin, kDbAxisMaxReference};
    }
    return std::nullopt;
}

AxisRange EmptySpectrumAxis(const SpectrumScale& scale, double knobVolts)
{
    if (!scale.dB)
        return {0.0, knobVolts};
    return {kDbAxisMin, scale.referenceUmax ? kDbAxisMaxUmax : kDbAxisMaxReference};
}

} // namespace tesmar
