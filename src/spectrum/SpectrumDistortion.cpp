#include "SpectrumDistortion.h"

#include "dsp/SignalReadout.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

int HalfLength(std::span<const double> a, int length)
{
    return std::clamp(length / 2, 0, static_cast<int>(a.size()));
}

// printf's "%-W.Pf": left-justified.
std::string LeftJustified(double value, int width, int precision, char decimalSeparator)
{
    std::string text = FormatFixed(value, 0, precision, decimalSeparator);
    if (static_cast<int>(text.size()) < width)
        text.append(width - text.size(), ' ');
    return text;
}

double RoundTo2(double x)
{
    return std::round(x * 100.0) / 100.0;
}

} // namespace

SpectrumPeaks FindSpectrumPeaks(std::span<const double> a, int length)
{
    SpectrumPeaks peaks;
    const int half = HalfLength(a, length);
    for (int k = 0; k < half; ++k)
        peaks.Umax = std::max(peaks.Umax, a[k]);
    for (int k = 1; k < half; ++k)
        if (a[k] > peaks.linePeak) {
            peaks.linePeak = a[k];
            peaks.lineIndex = k;
        }
    return peaks;
}

Fundamental ChooseFundamental(std::span<const double> a, int length, double sampleRate, const SpectrumPeaks& peaks,
                              std::optional<double> manualF1)
{
    Fundamental f;
    if (length <= 0 || !(sampleRate > 0))
        return f;
    if (!manualF1) {
        f.F1 = peaks.lineIndex * sampleRate / length;
        f.A1 = peaks.linePeak;
        return f;
    }
    f.F1 = *manualF1;
    const double bin = std::nearbyint(f.F1 * length / sampleRate); // halves to even
    const int half = HalfLength(a, length);
    if (bin >= 0 && bin < half)
        f.A1 = a[static_cast<int>(bin)];
    return f;
}

std::optional<Distortion> ComputeDistortion(std::span<const double> a, int length, double sampleRate,
                                            const Fundamental& fundamental, int harmonics)
{
    if (!(sampleRate / 2 > 3 * fundamental.F1) || fundamental.A1 == 0.0 || length <= 0)
        return std::nullopt;
    const int half = HalfLength(a, length);
    double sum = 0.0, a3 = 0.0;
    for (int h = 2; h <= harmonics + 1; ++h) {
        const double f = h * fundamental.F1;
        if (f >= sampleRate / 2)
            break;
        const double bin = std::nearbyint(f * length / sampleRate);
        const int lo = std::max(0, static_cast<int>(std::nearbyint(0.9 * bin)));
        const int hi = std::min(half - 1, static_cast<int>(std::nearbyint(1.1 * bin)));
        double ah = 0.0;
        for (int k = lo; k <= hi; ++k)
            ah = std::max(ah, a[k]);
        sum += ah * ah;
        if (h == 3)
            a3 = ah;
    }
    const double kg = std::sqrt(sum) / fundamental.A1, k3 = a3 / fundamental.A1;
    return Distortion{RoundTo2(kg), RoundTo2(k3), kg, k3};
}

double LimitManualF1(double typed, double knobRate)
{
    return std::clamp(typed, 1.0, std::max(1.0, knobRate / 3));
}

std::string FormatFundamental(double hertz, char decimalSeparator)
{
    if (hertz > 9999)
        return LeftJustified(hertz / 1000, 4, 0, decimalSeparator) + "К";
    return LeftJustified(hertz, 4, 0, decimalSeparator);
}

std::string FormatDistortionFactor(double value, char decimalSeparator)
{
    return LeftJustified(value, 5, value > 1 ? 1 : 2, decimalSeparator);
}

} // namespace tesmar
