#pragma once
// Orthonormal Daubechies scaling filters (sum sqrt(2), sum of squares 1).

#include "dsp/WavUtils.h"

namespace tesmar {

inline constexpr int kMaxWaveletOrder = 10;

// The 2·order low-pass taps; throws WaveletError for an order outside 1 ... 10.
const TVector& DaubechiesFilter(int order);

} // namespace tesmar
