#include "SpectrumAmplitude.h"

#include "dsp/FFT87B2.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesmar {

double WindowFactor(SpectrumWindow window, int n, int length)
{
    const double x = 2.0 * std::numbers::pi * n / length;
    switch (window) {
    case SpectrumWindow::Hamming:
        return 0.54 - 0.46 * std::cos(x);
    case SpectrumWindow::Hann:
        return 0.5 - 0.5 * std::cos(x);
    case SpectrumWindow::Blackman:
        return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
    case SpectrumWindow::Harris:
        return 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
    case SpectrumWindow::None:
        break;
    }
    return 1.0;
}

double AmplitudeScale(int length)
{
    if (length < 256 || length > 131'072 || (length & (length - 1)) != 0)
        return 0.0;
    return 2.0 / std::sqrt(static_cast<double>(length));
}

std::vector<double> WindowTable(SpectrumWindow window, int length)
{
    if (window == SpectrumWindow::None || length <= 0)
        return {};
    std::vector<double> table(length);
    for (int n = 0; n < length; ++n) {
        // One cosine per sample; the higher terms from the multiple-angle identities.
        const double c = std::cos(2.0 * std::numbers::pi * n / length);
        const double c2 = 2 * c * c - 1, c3 = (4 * c * c - 3) * c;
        switch (window) {
        case SpectrumWindow::Hamming: table[n] = 0.54 - 0.46 * c; break;
        case SpectrumWindow::Hann: table[n] = 0.5 - 0.5 * c; break;
        case SpectrumWindow::Blackman: table[n] = 0.42 - 0.5 * c + 0.08 * c2; break;
        case SpectrumWindow::Harris: table[n] = 0.35875 - 0.48829 * c + 0.14128 * c2 - 0.01168 * c3; break;
        case SpectrumWindow::None: break;
        }
    }
    return table;
}

std::vector<double> AmplitudeSpectrum(std::span<const double> samples, int length, double sampleRate,
                                      SpectrumWindow window, std::span<const FilterPoint> response)
{
    const int count = std::min<int>(length, static_cast<int>(samples.size()));
    return AmplitudeSpectrum(samples, length, sampleRate, WindowTable(window, count), response);
}

std::vector<double> AmplitudeSpectrum(std::span<const double> samples, int length, double sampleRate,
                                      std::span<const double> windowTable, std::span<const FilterPoint> response)
{
    const int count = std::min<int>(length, static_cast<int>(samples.size()));
    // r(N) holds for N samples; the zeros that pad a shorter record add nothing to a line.
    const double r = AmplitudeScale(length) * length / std::max(count, 1);
    if (r == 0.0)
        return {};
    FFTArray re, im;
    const bool windowed = count > 0 && static_cast<int>(windowTable.size()) >= count;
    for (int n = 0; n < count; ++n)
        re[n] = windowed ? samples[n] * windowTable[n] : samples[n];
    std::uint8_t status = FftDone;
    RealFFT(length, re, im, status);
    if (status != FftDone)
        return {};
    std::vector<double> a(length);
    const int half = length / 2;
    for (int k = 0; k < half; ++k)
        a[k] = r * std::sqrt(re[k] * re[k] + im[k] * im[k]);
    a[0] /= 2;
    for (int k = half; k < length; ++k)
        a[k] = re[k];
    if (response.size() >= 2)
        for (int k = 0; k < half; ++k)
            a[k] *= ResponseGain(response, k * sampleRate / length);
    return a;
}

} // namespace tesmar
