#pragma once
// Smoothing by an orthogonal discrete wavelet transform: decompose over a few levels, drop all
// details, rebuild from the approximation. Failures throw WaveletError.

#include <vector>

namespace tesmar {

using TVector = std::vector<double>;
using TVectors = std::vector<TVector>;

struct TDecomposition {
    int order = 0;         // vanishing moments of the Daubechies filter, 1 ... 10
    int signalLength = 0;  // length of the decomposed signal
    TVector approximation; // of the last level
    TVectors details;      // one per level, index 0 = finest
};

struct AnalysisResult {
    TVector approximation;
    TVector detail;
};

// One level: the signal, extended periodically (an odd length padded with the mean of its two
// ends), filtered with h and with its mirror high-pass and halved.
AnalysisResult AnalysisStep(const TVector& signal, const TVector& filter);

// Inverse of one level; dropLast removes the padding sample of an odd-length input.
TVector SynthesisStep(const TVector& filter, const TVector& approximation, const TVector& detail,
                      bool dropLast);

TDecomposition WaveletDecompose(const TVector& signal, int order, int levels);
TVector WaveletReconstruct(const TDecomposition& decomposition);

// The signal rebuilt from its approximation alone; same length as the input.
TVector WaveletSmooth(const TVector& signal, int order, int levels);

} // namespace tesmar
