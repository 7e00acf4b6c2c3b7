#pragma once
// The amplitude spectrum of one channel: window, transform, scaling to peak volts and the
// optional weighting by the channel's filter response.

#include "dsp/FilterPoint.h"

#include <span>
#include <vector>

namespace tesmar {

enum class SpectrumWindow { None = 0, Hamming = 1, Hann = 2, Blackman = 3, Harris = 4 };

// Window factor of sample n of N (periodic form: the denominator is N).
double WindowFactor(SpectrumWindow window, int n, int length);

// The factors of all N samples, for use on several channels.
std::vector<double> WindowTable(SpectrumWindow window, int length);

// r(N) = 2/√N for the powers of two 256 … 131 072; 0 for any other length.
double AmplitudeScale(int length);

// a[k] for k = 0 … N/2 − 1 in peak volts (a[0] the magnitude of the mean), then the unscaled
// transform values up to N. A record shorter than N (both channels in a buffer read) is
// windowed over its own samples, padded with zeros and scaled by its own count, so that its
// lines stand as high as in a full record. `response` weights the amplitudes when it holds two
// points or more. Empty for a length the transform refuses.
std::vector<double> AmplitudeSpectrum(std::span<const double> samples, int length, double sampleRate,
                                      SpectrumWindow window, std::span<const FilterPoint> response = {});
// The same with the window's factors given: a table of the record's own count (as
// WindowTable(window, min(N, samples))); empty: no window.
std::vector<double> AmplitudeSpectrum(std::span<const double> samples, int length, double sampleRate,
                                      std::span<const double> windowTable, std::span<const FilterPoint> response);

} // namespace tesmar
