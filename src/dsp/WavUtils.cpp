#include "dsp/WavUtils.h"

#include "dsp/WaveletError.h"
#include "dsp/WaveletFilters.h"

#include <algorithm>

namespace tesmar {
namespace {

// g[m] = (-1)^m · h[F-1-m]
TVector HighPassOf(const TVector& lowPass) {
    const std::size_t taps = lowPass.size();
    TVector highPass(taps);
    for (std::size_t m = 0; m < taps; ++m)
        highPass[m] = (m % 2 == 0 ? 1.0 : -1.0) * lowPass[taps - 1 - m];
    return highPass;
}

// The coefficients padded with zeros to `length` and preceded by their last `wrap` values, so
// that the synthesis sums never leave the array. Wraps modulo the length, which also covers
// coefficient vectors shorter than the wrap.
TVector WrappedFront(const TVector& coefficients, std::size_t length, std::size_t wrap) {
    TVector extended(length + wrap, 0.0);
    std::copy(coefficients.begin(), coefficients.end(), extended.begin() + static_cast<std::ptrdiff_t>(wrap));
    for (std::size_t j = 0; j < wrap; ++j) {
        const std::size_t shift = (wrap - j) % length; // periodic position j - wrap
        extended[j] = extended[wrap + (length - shift) % length];
    }
    return extended;
}

} // namespace

AnalysisResult AnalysisStep(const TVector& signal, const TVector& filter) {
    const std::size_t length = signal.size();
    const std::size_t taps = filter.size();
    const std::size_t evenLength = length + length % 2;
    if (taps == 0 || evenLength < taps)
        throw WaveletError(kWaveletSignalTooShortText);

    TVector extended(evenLength + taps - 2);
    std::copy(signal.begin(), signal.end(), extended.begin());
    if (length % 2 == 1)
        extended[length] = (signal[length - 1] + signal[0]) / 2.0;
    std::copy(signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(taps - 2),
              extended.begin() + static_cast<std::ptrdiff_t>(evenLength));

    const TVector highPass = HighPassOf(filter);
    AnalysisResult result;
    result.approximation.assign(evenLength / 2, 0.0);
    result.detail.assign(evenLength / 2, 0.0);
    for (std::size_t i = 0; i < evenLength / 2; ++i) {
        const double* window = extended.data() + 2 * i;
        double low = 0.0, high = 0.0;
        for (std::size_t m = 0; m < taps; ++m) {
            low += window[m] * filter[m];
            high += window[m] * highPass[m];
        }
        result.approximation[i] = low;
        result.detail[i] = high;
    }
    return result;
}

TVector SynthesisStep(const TVector& filter, const TVector& approximation, const TVector& detail,
                      bool dropLast) {
    const std::size_t taps = filter.size();
    const std::size_t count = std::max(approximation.size(), detail.size());
    if (count == 0 || taps < 2)
        return {};
    const std::size_t wrap = taps / 2 - 1;
    const TVector va = WrappedFront(approximation, count, wrap);
    const TVector vd = WrappedFront(detail, count, wrap);

    TVector out(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        double even = 0.0, odd = 0.0;
        for (std::size_t j = 0; j <= wrap; ++j) {
            even += va[i + j] * filter[taps - 2 - 2 * j] + vd[i + j] * filter[2 * j + 1];
            odd += va[i + j] * filter[taps - 1 - 2 * j] - vd[i + j] * filter[2 * j];
        }
        out[2 * i] = even;
        out[2 * i + 1] = odd;
    }
    if (dropLast)
        out.pop_back();
    return out;
}

TDecomposition WaveletDecompose(const TVector& signal, int order, int levels) {
    const TVector& filter = DaubechiesFilter(order);
    TDecomposition decomposition;
    decomposition.order = order;
    decomposition.signalLength = static_cast<int>(signal.size());
    decomposition.approximation = signal;
    for (int level = 0; level < levels; ++level) {
        AnalysisResult step = AnalysisStep(decomposition.approximation, filter);
        decomposition.approximation = std::move(step.approximation);
        decomposition.details.push_back(std::move(step.detail));
    }
    return decomposition;
}

TVector WaveletReconstruct(const TDecomposition& decomposition) {
    const TVector& filter = DaubechiesFilter(decomposition.order);
    TVector signal = decomposition.approximation;
    const TVectors& details = decomposition.details;
    for (std::size_t level = details.size(); level-- > 0;) {
        const std::size_t inputLength =
            level == 0 ? static_cast<std::size_t>(decomposition.signalLength) : details[level - 1].size();
        signal = SynthesisStep(filter, signal, details[level], inputLength % 2 == 1);
    }
    if (signal.size() != static_cast<std::size_t>(decomposition.signalLength))
        throw WaveletError(kWaveletLengthMismatchText);
    return signal;
}

TVector WaveletSmooth(const TVector& signal, int order, int levels) {
    TDecomposition decomposition = WaveletDecompose(signal, order, levels);
    for (TVector& detail : decomposition.details)
        std::fill(detail.begin(), detail.end(), 0.0);
    return WaveletReconstruct(decomposition);
}

} // namespace tesmar
