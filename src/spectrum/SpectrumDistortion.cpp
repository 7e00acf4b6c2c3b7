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

// Half the main lobe's width in bins, plus one for a line that falls between two bins.
int LobeHalfWidth(SpectrumWindow window)
{
    switch (window) {
    case SpectrumWindow::None: return 2;
    case SpectrumWindow::Hamming:
    case SpectrumWindow::Hann: return 3;
    case SpectrumWindow::Blackman: return 4;
    case SpectrumWindow::Harris: return 5;
    }
    return 2;
}

// Sum of a[k]² over the bins `reach` either side of `peak`, DC left out.
double LinePower(std::span<const double> a, int half, int peak, int reach)
{
    double sum = 0.0;
    for (int k = std::max(1, peak - reach); k <= std::min(half - 1, peak + reach); ++k)
        sum += a[k] * a[k];
    return sum;
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
                                            const Fundamental& fundamental, int harmonics, SpectrumWindow window)
{
    if (!(sampleRate / 2 > 3 * fundamental.F1) || fundamental.A1 == 0.0 || length <= 0)
        return std::nullopt;
    const int half = HalfLength(a, length);
    const double f1Bins = fundamental.F1 * length / sampleRate;
    // Neighbouring harmonics lie f1Bins apart: their sums must not share bins.
    const int reach = std::max(0, std::min(LobeHalfWidth(window), static_cast<int>((f1Bins - 1) / 2)));
    const int f1Bin = static_cast<int>(std::nearbyint(f1Bins));
    int peak1 = std::clamp(f1Bin, 0, std::max(0, half - 1));
    for (int k = std::max(1, f1Bin - reach); k <= std::min(half - 1, f1Bin + reach); ++k)
        if (a[k] > a[peak1])
            peak1 = k;
    const double p1 = LinePower(a, half, peak1, reach);
    if (p1 <= 0.0)
        return std::nullopt;
    double sum = 0.0, p3 = 0.0;
    for (int h = 2; h <= harmonics + 1; ++h) {
        const double f = h * fundamental.F1;
        if (f >= sampleRate / 2)
            break;
        const double bin = std::nearbyint(f * length / sampleRate);
        const int lo = std::max(0, static_cast<int>(std::nearbyint(0.9 * bin)));
        const int hi = std::min(half - 1, static_cast<int>(std::nearbyint(1.1 * bin)));
        int peak = -1;
        for (int k = lo; k <= hi; ++k)
            if (peak < 0 || a[k] > a[peak])
                peak = k;
        const double ph = peak < 0 ? 0.0 : LinePower(a, half, peak, reach);
        sum += ph;
        if (h == 3)
            p3 = ph;
    }
    const double kg = std::sqrt(sum / p1), k3 = std::sqrt(p3 / p1);
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
