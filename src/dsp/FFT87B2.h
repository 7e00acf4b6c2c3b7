#pragma once
// Discrete Fourier transforms on FFTArray pairs and the spectral filter built on them.
// Both directions are scaled by 1/sqrt(N): forward X[k] = 1/sqrt(N)·sum x[n]·e^(-2·pi·i·kn/N),
// inverse with e^(+...). A forward transform followed by an inverse one returns the input.

#include "dsp/FFTArray.h"
#include "dsp/FilterPoint.h"

#include <cstdint>
#include <span>

namespace tesmar {

// Status of a transform; on anything but FftDone the arrays are left untouched.
inline constexpr std::uint8_t FftDone = 0;
inline constexpr std::uint8_t FftTooShort = 1;  // length below 2 (RealFFT: N/2 below 2)
inline constexpr std::uint8_t FftBadLength = 2; // not a power of two up to 2^17

// In-place transform of n complex values (n = 2 ... 131072, a power of two).
void ComplexFFT(int n, bool inverse, FFTArray& re, FFTArray& im, std::uint8_t& status);

// Forward transform of n real samples given in re (n = 4 ... 131072, a power of two): the full
// conjugate-symmetric spectrum X[0 ... n-1] is left in re and im.
void RealFFT(int n, FFTArray& re, FFTArray& im, std::uint8_t& status);

// Gain of a breakpoint response at f: straight lines between the points, and the first and last
// segments extended beyond the ends. Fewer than two points: 1 (no response) or the single
// point's gain. A segment of zero width acts as a step.
double ResponseGain(std::span<const FilterPoint> response, double frequency);

// Applies the response to the samples in the frequency domain (no window). Returns false and
// leaves the samples as they are when the count is not a power of two in 4 ... 131072 or the
// response has fewer than two points.
bool SpectralFilter(std::span<double> samples, std::span<const FilterPoint> response, double sampleRate);

} // namespace tesmar
