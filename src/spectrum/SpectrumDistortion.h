#pragma once
// Peaks of an amplitude spectrum, the fundamental and the harmonic distortion factors kг and k3.

#include "SpectrumAmplitude.h"

#include <optional>
#include <span>
#include <string>

namespace tesmar {

struct SpectrumPeaks {
    double Umax = 0.0;     // largest amplitude, DC included
    double linePeak = 0.0; // largest amplitude above DC
    int lineIndex = 0;     // its bin, 0 when no amplitude is above 0
};

// Over the shown half a[0 … N/2 − 1] of an N-point spectrum.
SpectrumPeaks FindSpectrumPeaks(std::span<const double> amplitudes, int length);

struct Fundamental {
    double F1 = 0.0; // Hz
    double A1 = 0.0;
};

// Automatic: the line peak. Manual: the bin nearest to `manualF1` (halves to even).
Fundamental ChooseFundamental(std::span<const double> amplitudes, int length, double sampleRate,
                              const SpectrumPeaks& peaks, std::optional<double> manualF1);

struct Distortion {
    double kg = 0.0; // √(ΣA_h²)/A1, rounded to 2 decimals
    double k3 = 0.0; // A3/A1, rounded to 2 decimals
    double kgRatio = 0.0, k3Ratio = 0.0; // the same unrounded, for outputs that need the digits
};

// None when Fs/2 ≤ 3·F1 or A1 = 0. `harmonics` is K: the harmonics 2 … K + 1 are summed.
// Each line, the fundamental's too, is measured by the power of the bins of its main lobe
// (`window` tells how wide that is), not by its highest bin alone: a line between two bins
// loses up to 3.9 dB in its highest bin without a window and 1.4 dB with Hann's, which made
// the factors depend on where the harmonics fell on the bin grid.
std::optional<Distortion> ComputeDistortion(std::span<const double> amplitudes, int length, double sampleRate,
                                            const Fundamental& fundamental, int harmonics,
                                            SpectrumWindow window = SpectrumWindow::None);

// The F1 typed on Enter limited to 1 … knob rate / 3.
double LimitManualF1(double typed, double knobRate);

// Label texts: F1 as "%-4.0f" (above 9999 Hz in thousands with "К"), kг/k3 as "%-5.1f" above 1,
// else "%-5.2f".
std::string FormatFundamental(double hertz, char decimalSeparator);
std::string FormatDistortionFactor(double value, char decimalSeparator);

} // namespace tesmar
