#include "RecordFilter.h"

#include "dsp/FFT87B2.h"
#include "dsp/FFTArray.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tesmar {

namespace {

// Prediction coefficients a[1 … order] (a[0] = 1) of the record by Burg's method, which always
// gives a stable predictor: continued beyond the record it dies down instead of growing.
std::vector<double> BurgPredictor(const std::vector<double>& x, int order) {
    const int n = static_cast<int>(x.size());
    std::vector<double> f(x), b(x), a{1.0};
    for (int m = 0; m < order; ++m) {
        double num = 0.0, den = 0.0;
        for (int i = m + 1; i < n; ++i) {
            num += f[i] * b[i - 1];
            den += f[i] * f[i] + b[i - 1] * b[i - 1];
        }
        const double k = den > 0.0 ? -2.0 * num / den : 0.0;
        a.push_back(0.0);
        const std::vector<double> previous = a;
        for (int i = 1; i <= m + 1; ++i)
            a[i] = previous[i] + k * previous[m + 1 - i];
        for (int i = n - 1; i >= m + 1; --i) {
            const double fi = f[i] + k * b[i - 1];
            b[i] = b[i - 1] + k * f[i];
            f[i] = fi;
        }
    }
    return a;
}

} // namespace

bool FilterRecord(std::span<double> samples, std::span<const FilterPoint> response, double sampleRate) {
    const std::size_t n = samples.size();
    const auto largest = static_cast<std::size_t>(kFFTMaxLength);
    if (n < 2 || n > largest || response.size() < 2)
        return false;
    std::size_t length = 4;
    while (length < 2 * n && length < largest)
        length *= 2;
    // The record sits in the middle and is continued on both sides by linear prediction, so
    // that the filter sees the signal go on instead of a step (or the record's other end).
    const std::size_t lead = (length - n) / 2, trail = length - n - lead;
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
    std::vector<double> centred(n);
    for (std::size_t i = 0; i < n; ++i)
        centred[i] = samples[i] - mean;
    // Enough terms to carry a square wave of up to 128 samples a period across the ends.
    const int order = static_cast<int>(std::min<std::size_t>(64, n / 4));
    const std::vector<double> a = BurgPredictor(centred, order);

    std::vector<double> extended(length, 0.0);
    std::copy(centred.begin(), centred.end(), extended.begin() + static_cast<std::ptrdiff_t>(lead));
    for (std::size_t i = lead + n; i < lead + n + trail; ++i) {
        double v = 0.0;
        for (int j = 1; j <= order; ++j)
            v -= a[j] * extended[i - j];
        extended[i] = v;
    }
    for (std::size_t i = lead; i-- > 0;) {
        double v = 0.0;
        for (int j = 1; j <= order; ++j)
            v -= a[j] * extended[i + j];
        extended[i] = v;
    }
    for (double& v : extended)
        v += mean;
    if (!SpectralFilter(extended, response, sampleRate))
        return false;
    std::copy_n(extended.begin() + static_cast<std::ptrdiff_t>(lead), n, samples.begin());
    return true;
}

} // namespace tesmar
