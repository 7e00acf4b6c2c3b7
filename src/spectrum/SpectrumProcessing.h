#pragma once
// ProcessSpectrum: from the captured samples (full), or from the stored amplitudes (distortion
// only, redraw), to the results and curves of both channels.

#include "SpectrumAmplitude.h"
#include "SpectrumCurve.h"
#include "SpectrumDistortion.h"
#include "dsp/FilterPoint.h"
#include "dsp/SignalParams.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace tesmar {

enum class SpectrumMode { Full, DistortionOnly, Redraw };

struct SpectrumChannel {
    std::vector<double> amplitudes; // N values; empty: the channel has no data
    // With no window in the view, kг and k3 come from this Hann-windowed spectrum of the same
    // samples: the bare one leaks the fundamental into its harmonics. Empty: from `amplitudes`.
    std::vector<double> lineAmplitudes;
    std::optional<SignalParams> params;
    SpectrumPeaks peaks;
    Fundamental fundamental;
    std::optional<Distortion> distortion;
    SpectrumCurvePoints curve;

    bool hasData() const { return !amplitudes.empty(); }
};

// What one measurement produced, and what a data file restores.
struct SpectrumRecord {
    int length = 0;          // N
    double sampleRate = 0.0; // Fs, Hz
    std::array<SpectrumChannel, 2> channels;
};

// Per channel: the samples of the capture (full mode) and the view's choices.
struct SpectrumChannelInput {
    bool captured = false;
    std::span<const double> samples;
    bool filterOn = false;
    std::span<const FilterPoint> response;
    SpectrumScale scale;
};

struct SpectrumSettings {
    SpectrumWindow window = SpectrumWindow::None;
    int harmonics = 2;               // K
    std::optional<double> manualF1;  // none: the fundamental is the largest line
};

// Axis unit of a sample rate: kHz above 10 000 Hz, else Hz.
double SpectrumFrequencyUnit(double sampleRate);

// In full mode `record.length` and `record.sampleRate` must be set by the caller.
void ProcessSpectrum(SpectrumMode mode, SpectrumRecord& record, const std::array<SpectrumChannelInput, 2>& inputs,
                     const SpectrumSettings& settings);

} // namespace tesmar
