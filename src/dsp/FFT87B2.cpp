#include "dsp/FFT87B2.h"

#include "dsp/FftKernel.h"

#include <algorithm>
#include <vector>

namespace tesmar {
namespace {

// log2 of n when n is one of 2^1 ... 2^17, else the failing status as a negative number.
int LengthStages(int n) {
    if (n < 2)
        return -FftTooShort;
    for (int stages = 1; stages <= 17; ++stages)
        if (n == (1 << stages))
            return stages;
    return -FftBadLength;
}

} // namespace

void ComplexFFT(int n, bool inverse, FFTArray& re, FFTArray& im, std::uint8_t& status) {
    const int stages = LengthStages(n);
    if (stages < 0) {
        status = static_cast<std::uint8_t>(-stages);
        return;
    }
    fft::ComplexTransform(re.data(), im.data(), stages, inverse);
    status = FftDone;
}

void RealFFT(int n, FFTArray& re, FFTArray& im, std::uint8_t& status) {
    const int halfStages = LengthStages(n / 2);
    // n/2 being a valid length is not enough: n must be even (5 would pass as 2) and must fit
    // the arrays (2^18 would pass as 2^17 and write past their end).
    if (halfStages < 0 || n % 2 != 0 || n > kFFTMaxLength) {
        status = halfStages < 0 ? static_cast<std::uint8_t>(-halfStages) : FftBadLength;
        return;
    }
    fft::RealForwardTransform(re.data(), im.data(), halfStages + 1);
    status = FftDone;
}

double ResponseGain(std::span<const FilterPoint> response, double frequency) {
    if (response.empty())
        return 1.0;
    if (response.size() == 1)
        return response[0].gain;
    std::size_t j = 0;
    while (j + 2 < response.size() && !(frequency < response[j + 1].frequency))
        ++j;
    const FilterPoint& left = response[j];
    const FilterPoint& right = response[j + 1];
    const double width = right.frequency - left.frequency;
    if (width == 0.0)
        return frequency < left.frequency ? left.gain : right.gain;
    return left.gain + (frequency - left.frequency) * (right.gain - left.gain) / width;
}

bool SpectralFilter(std::span<double> samples, std::span<const FilterPoint> response, double sampleRate) {
    const std::size_t n = samples.size();
    if (n < 4 || n > static_cast<std::size_t>(kFFTMaxLength) || (n & (n - 1)) != 0 || response.size() < 2)
        return false;
    int stages = 0;
    while ((std::size_t{1} << stages) < n)
        ++stages;

    std::vector<double> re(samples.begin(), samples.end());
    std::vector<double> im(n, 0.0);
    fft::RealForwardTransform(re.data(), im.data(), stages);
    // Bins below Nyquist are weighted and mirrored; bin n/2 passes unweighted.
    const std::size_t half = n / 2;
    for (std::size_t i = 0; i < half; ++i) {
        const double gain =
            ResponseGain(response, static_cast<double>(i) * sampleRate / static_cast<double>(n));
        re[i] *= gain;
        im[i] *= gain;
        if (i >= 1) {
            re[n - i] = re[i];
            im[n - i] = -im[i];
        }
    }
    fft::ComplexTransform(re.data(), im.data(), stages, true);
    std::copy(re.begin(), re.end(), samples.begin());
    return true;
}

} // namespace tesmar
