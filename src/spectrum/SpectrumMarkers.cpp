#include "SpectrumMarkers.h"

#include "dsp/SignalReadout.h"
#include "osc/OscChannelView.h"

#include <cmath>

namespace tesmar {

std::optional<double> SpectrumValueAt(const SpectrumCurvePoints& curve, double f)
{
    if (curve.x.size() < 2 || curve.y.size() != curve.x.size())
        return std::nullopt;
    return CurveValueAt({curve.y, curve.x[0], curve.x[1] - curve.x[0]}, f);
}

SpectrumMarkerReadouts ComputeSpectrumMarkerReadouts(const SpectrumMarkerInput& in)
{
    SpectrumMarkerReadouts out;
    const std::string& frequencyUnit = in.unit == 1000.0 ? in.kilohertz : in.hertz;
    const auto& f = in.markerFrequency;
    for (int m = 0; m < 2; ++m)
        out.frequency[m] = FormatReadout(f[m], frequencyUnit, in.decimalSeparator);
    const double df = f[1] - f[0];
    out.frequencyDifference = {FormatReadout(std::fabs(df), frequencyUnit, in.decimalSeparator),
                               f[1] > f[0] ? DifferenceColour::Green : DifferenceColour::Purple};
    const bool sameScale = in.scales[0].dB == in.scales[1].dB && in.scales[0].referenceUmax == in.scales[1].referenceUmax;
    for (int c = 0; c < 2; ++c) {
        const std::string& unit = in.scales[c].dB ? in.decibel : in.volt;
        std::array<std::optional<double>, 2> v;
        for (int m = 0; m < 2; ++m) {
            if (in.curves[c])
                v[m] = SpectrumValueAt(*in.curves[c], f[m]);
            if (v[m])
                out.value[m][c] = FormatFixed(*v[m], 5, 2, in.decimalSeparator) + unit;
        }
        if (v[0] && v[1] && sameScale)
            out.valueDifference[c] = {FormatFixed(*v[1] - *v[0], 5, 2, in.decimalSeparator) + unit,
                                      *v[1] > *v[0] ? DifferenceColour::Green : DifferenceColour::Purple};
    }
    return out;
}

} // namespace tesmar
