#pragma once
// The curve of one channel's spectrum in volts or dB, and the vertical axis each scale wants.

#include "osc/OscTimeAxis.h"

#include <optional>
#include <span>
#include <vector>

namespace tesmar {

inline constexpr double kDbFloor = -60.0;
inline constexpr double kDbAxisMin = -60.1;
inline constexpr double kDbAxisMaxReference = 25.0; // 0 dB = 0.775 V
inline constexpr double kDbAxisMaxUmax = 0.1;       // 0 dB = Umax
inline constexpr double kDbReferenceVolts = 0.775;

struct SpectrumScale {
    bool dB = false;
    bool referenceUmax = false; // "0 дБ = Umax"
};

struct SpectrumCurvePoints {
    std::vector<double> x, y;
};

// N/2 points at k·df and one more at Fs/2, so the curve reaches half the sample rate.
SpectrumCurvePoints MakeSpectrumCurve(std::span<const double> amplitudes, int length, double sampleRate,
                                      double unit, const SpectrumScale& scale, double Umax);

// The vertical axis before the curve's points are added: none when the current one stays.
// `knobVolts` is the range knob's value (linear scale: 0 … knob value).
std::optional<AxisRange> SpectrumAxisFor(const SpectrumScale& scale, const AxisRange& current, double knobVolts);
// The axis of a channel without points after its dB or "0 дБ = Umax" button changed.
AxisRange EmptySpectrumAxis(const SpectrumScale& scale, double knobVolts);

} // namespace tesmar
