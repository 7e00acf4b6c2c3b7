#include "spectrum/SpectrumAcquisition.h"
#include "spectrum/SpectrumProcessing.h"
#include "spectrum/SpectrumReadType.h"
#include "device/DeviceClock.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace tesmar {
namespace {

std::vector<double> Sine(int n, double cycles, double amplitude, double offset = 0.0)
{
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = offset + amplitude * std::sin(2 * std::numbers::pi * cycles * i / n);
    return x;
}

std::vector<double> Square(int n, double cycles)
{
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = std::fmod(cycles * i / n, 1.0) < 0.5 ? 1.0 : -1.0;
    return x;
}

// Peak volts of bins 0 … length/2 − 1 by a direct DFT of the samples, Hann-windowed over the
// samples themselves and zero-padded to `length`; written apart from the code under test.
std::vector<double> DirectSpectrum(const std::vector<double>& x, int length, bool hann)
{
    const int m = static_cast<int>(x.size());
    std::vector<double> a(length / 2);
    for (int k = 0; k < length / 2; ++k) {
        std::complex<double> sum;
        for (int n = 0; n < m; ++n) {
            const double w = hann ? 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / m) : 1.0;
            sum += w * x[n] * std::polar(1.0, -2 * std::numbers::pi * k * n / length);
        }
        a[k] = (k == 0 ? 1.0 : 2.0) * std::abs(sum) / m;
    }
    return a;
}

// Amplitudes of the harmonics 1 … 4 of `f0` in `x` (index h), by a least-squares fit of the mean
// and of a cosine and a sine at each harmonic: the reference for the distortion factors.
std::array<double, 5> FittedHarmonics(const std::vector<double>& x, double f0, double fs)
{
    constexpr int kTerms = 9;
    std::array<std::array<double, kTerms + 1>, kTerms> m{}; // normal equations, right side last
    for (std::size_t n = 0; n < x.size(); ++n) {
        std::array<double, kTerms> basis{1.0};
        for (int h = 1; h <= 4; ++h) {
            const double phase = 2 * std::numbers::pi * h * f0 * n / fs;
            basis[2 * h - 1] = std::cos(phase);
            basis[2 * h] = std::sin(phase);
        }
        for (int i = 0; i < kTerms; ++i) {
            for (int j = 0; j < kTerms; ++j)
                m[i][j] += basis[i] * basis[j];
            m[i][kTerms] += basis[i] * x[n];
        }
    }
    for (int c = 0; c < kTerms; ++c) { // Gauss–Jordan with partial pivoting
        int pivot = c;
        for (int r = c + 1; r < kTerms; ++r)
            if (std::abs(m[r][c]) > std::abs(m[pivot][c]))
                pivot = r;
        std::swap(m[c], m[pivot]);
        for (int r = 0; r < kTerms; ++r)
            if (r != c) {
                const double f = m[r][c] / m[c][c];
                for (int j = c; j <= kTerms; ++j)
                    m[r][j] -= f * m[c][j];
            }
    }
    std::array<double, 5> amplitude{std::abs(m[0][kTerms] / m[0][0])};
    for (int h = 1; h <= 4; ++h)
        amplitude[h] = std::hypot(m[2 * h - 1][kTerms] / m[2 * h - 1][2 * h - 1], m[2 * h][kTerms] / m[2 * h][2 * h]);
    return amplitude;
}

TEST(SpectrumAmplitude, BinExactSineDcAndWindows)
{
    const int n = 1024;
    auto a = AmplitudeSpectrum(Sine(n, 37, 1.0, 0.3), n, 100'000, SpectrumWindow::None);
    ASSERT_EQ(a.size(), static_cast<size_t>(n));
    EXPECT_NEAR(a[37], 1.0, 1e-9);
    EXPECT_NEAR(a[0], 0.3, 1e-9);
    EXPECT_NEAR(a[36], 0.0, 1e-9);
    const SpectrumPeaks peaks = FindSpectrumPeaks(a, n);
    EXPECT_EQ(peaks.lineIndex, 37);
    EXPECT_NEAR(peaks.Umax, 1.0, 1e-9);

    // No coherent-gain correction: Hann halves the line, Hamming takes 0.54 of it.
    a = AmplitudeSpectrum(Sine(n, 37, 1.0), n, 100'000, SpectrumWindow::Hann);
    EXPECT_NEAR(a[37], 0.5, 1e-9);
    a = AmplitudeSpectrum(Sine(n, 37, 1.0), n, 100'000, SpectrumWindow::Hamming);
    EXPECT_NEAR(a[37], 0.54, 1e-9);
    a = AmplitudeSpectrum(Sine(n, 37, 1.0), n, 100'000, SpectrumWindow::Harris);
    EXPECT_NEAR(a[37], 0.35875, 1e-9);
}

TEST(SpectrumAmplitude, ScaleTableAndRefusedLengths)
{
    EXPECT_DOUBLE_EQ(AmplitudeScale(256), 0.125);
    EXPECT_DOUBLE_EQ(AmplitudeScale(1024), 0.0625);
    EXPECT_DOUBLE_EQ(AmplitudeScale(4096), 0.03125);
    EXPECT_NEAR(AmplitudeScale(2048), 0.0441941738, 1e-9);
    EXPECT_EQ(AmplitudeScale(1000), 0.0);
    EXPECT_TRUE(AmplitudeSpectrum(Sine(1000, 3, 1), 1000, 1000, SpectrumWindow::None).empty());
}

TEST(SpectrumAmplitude, ShortRecordIsZeroPaddedAndFilterWeights)
{
    // 563 samples (both channels in a buffer read) in a 1024-point transform: scaled by the
    // samples measured, not by the zeros after them.
    const auto a = AmplitudeSpectrum(std::vector<double>(563, 1.0), 1024, 1024, SpectrumWindow::None);
    EXPECT_NEAR(a[0], 1.0, 1e-9);

    const std::vector<FilterPoint> halve{{0, 0.5}, {1e6, 0.5}};
    const auto weighted = AmplitudeSpectrum(Sine(1024, 10, 1.0), 1024, 1024, SpectrumWindow::None, halve);
    EXPECT_NEAR(weighted[10], 0.5, 1e-9);
    const std::vector<FilterPoint> onePoint{{0, 0.5}};
    const auto unweighted = AmplitudeSpectrum(Sine(1024, 10, 1.0), 1024, 1024, SpectrumWindow::None, onePoint);
    EXPECT_NEAR(unweighted[10], 1.0, 1e-9);
}

TEST(SpectrumAmplitude, ShortRecordIsWindowedOverItsOwnSamples)
{
    const struct {
        int count;
        bool hann;
    } cases[] = {{563, true}, {512, true}, {563, false}, {1024, true}};
    for (const auto& c : cases) {
        std::vector<double> x(c.count);
        for (int n = 0; n < c.count; ++n)
            x[n] = 0.2 + 1.3 * std::sin(2 * std::numbers::pi * 1043.7 * n / 10'000 + 0.4);
        const auto a = AmplitudeSpectrum(x, 1024, 10'000, c.hann ? SpectrumWindow::Hann : SpectrumWindow::None);
        const auto ref = DirectSpectrum(x, 1024, c.hann);
        ASSERT_EQ(a.size(), 1024u);
        for (int k = 0; k < 512; ++k)
            ASSERT_NEAR(a[k], ref[k], 1e-9) << c.count << " bin " << k;
    }
}

TEST(SpectrumDistortion, HarmonicSumSquareWaveAndLimits)
{
    const int n = 8192;
    const double fs = 100'000;
    // 1 V fundamental on bin 64, 0.2 V second and 0.1 V third harmonic.
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = std::sin(2 * std::numbers::pi * 64 * i / n) + 0.2 * std::sin(2 * std::numbers::pi * 128 * i / n) +
               0.1 * std::sin(2 * std::numbers::pi * 192 * i / n);
    auto a = AmplitudeSpectrum(x, n, fs, SpectrumWindow::None);
    auto peaks = FindSpectrumPeaks(a, n);
    auto f = ChooseFundamental(a, n, fs, peaks, std::nullopt);
    EXPECT_DOUBLE_EQ(f.F1, 64 * fs / n);
    auto d = ComputeDistortion(a, n, fs, f, 2);
    ASSERT_TRUE(d);
    EXPECT_DOUBLE_EQ(d->kg, std::round(std::sqrt(0.04 + 0.01) * 100) / 100);
    EXPECT_DOUBLE_EQ(d->k3, 0.1);

    a = AmplitudeSpectrum(Square(n, 64), n, fs, SpectrumWindow::None);
    peaks = FindSpectrumPeaks(a, n);
    d = ComputeDistortion(a, n, fs, ChooseFundamental(a, n, fs, peaks, std::nullopt), 2);
    ASSERT_TRUE(d);
    EXPECT_NEAR(d->k3, 0.33, 0.011);

    // Manual F1: the nearest bin; 3·F1 at or above Fs/2 leaves the factors empty.
    f = ChooseFundamental(a, n, fs, peaks, 64 * fs / n + 3);
    EXPECT_DOUBLE_EQ(f.A1, a[64]);
    EXPECT_FALSE(ComputeDistortion(a, n, 200'000, Fundamental{40'000, 1.0}, 2));
    EXPECT_FALSE(ComputeDistortion(a, n, fs, Fundamental{1000, 0.0}, 2));

    EXPECT_DOUBLE_EQ(LimitManualF1(0, 200'000), 1.0);
    EXPECT_DOUBLE_EQ(LimitManualF1(90'000, 200'000), 200'000.0 / 3);
    EXPECT_DOUBLE_EQ(LimitManualF1(800, 200'000), 800.0);
}

// A 1 kHz sine with 3 % second and 5 % third harmonic at every rate of the knob that leaves
// room for the third harmonic, in buffer and stream lengths, with every window.
TEST(SpectrumDistortion, FactorsAgreeWithAFitAtEveryRate)
{
    std::vector<double> knobRates{7e3, 8e3, 9e3, 10e3, 20e3, 25e3, 30e3, 40e3, 50e3, 70e3, 80e3, 90e3};
    for (double r = 100e3; r <= 200e3; r += 10e3)
        knobRates.push_back(r);
    for (int n : {1024, 8192})
        for (double knob : knobRates) {
            const double fs = QuantizeRate(knob);
            std::vector<double> x(n);
            for (int i = 0; i < n; ++i) {
                const double p = 2 * std::numbers::pi * 1000 * i / fs + 0.7;
                x[i] = 0.1 + std::sin(p) + 0.03 * std::sin(2 * p + 0.3) + 0.05 * std::sin(3 * p);
            }
            const auto fit = FittedHarmonics(x, 1000, fs);
            const double k3 = fit[3] / fit[1], kg = std::hypot(fit[2], fit[3]) / fit[1];
            ASSERT_NEAR(k3, 0.05, 1e-6); // the reference itself
            for (SpectrumWindow w : {SpectrumWindow::None, SpectrumWindow::Hamming, SpectrumWindow::Hann,
                                     SpectrumWindow::Blackman, SpectrumWindow::Harris}) {
                SpectrumRecord record;
                record.length = n;
                record.sampleRate = fs;
                SpectrumSettings settings;
                settings.window = w;
                ProcessSpectrum(SpectrumMode::Full, record, {SpectrumChannelInput{true, x}, SpectrumChannelInput{}},
                                settings);
                const auto& d = record.channels[0].distortion;
                ASSERT_TRUE(d) << knob;
                EXPECT_NEAR(d->k3, k3, 0.005) << "N " << n << " rate " << knob << " window " << static_cast<int>(w);
                EXPECT_NEAR(d->kg, kg, 0.005) << "N " << n << " rate " << knob << " window " << static_cast<int>(w);
            }
        }
}

TEST(SpectrumDistortion, LabelFormats)
{
    EXPECT_EQ(FormatFundamental(800, ','), "800 ");
    EXPECT_EQ(FormatFundamental(12'345, ','), "12  К");
    EXPECT_EQ(FormatDistortionFactor(0.333, ','), "0,33 ");
    EXPECT_EQ(FormatDistortionFactor(1.25, '.'), "1.2  ");
}

TEST(SpectrumCurve, PointsInVoltsAndDecibels)
{
    std::vector<double> a(8192, 0.0);
    a[1] = 0.775;
    a[2] = 7.75;
    auto c = MakeSpectrumCurve(a, 8192, 200'000, 1000, {}, 7.75);
    ASSERT_EQ(c.x.size(), 4097u);
    EXPECT_DOUBLE_EQ(c.x[1], 0.0244140625);
    EXPECT_DOUBLE_EQ(c.x.back(), 100.0);
    EXPECT_DOUBLE_EQ(c.y.back(), c.y[4095]);
    EXPECT_DOUBLE_EQ(c.y[2], 7.75);

    c = MakeSpectrumCurve(a, 8192, 200'000, 1000, {true, false}, 7.75);
    EXPECT_NEAR(c.y[1], 0.0, 1e-12);
    EXPECT_NEAR(c.y[2], 20.0, 1e-12);
    EXPECT_DOUBLE_EQ(c.y[3], -60.0);
    c = MakeSpectrumCurve(a, 8192, 200'000, 1000, {true, true}, 7.75);
    EXPECT_NEAR(c.y[2], 0.0, 1e-12);
    EXPECT_NEAR(c.y[1], -20.0, 1e-12);

    // A silent input against its own maximum is a flat line at the floor.
    const std::vector<double> quiet(1024, 0.0005);
    c = MakeSpectrumCurve(quiet, 1024, 1000, 1, {true, true}, 0.0005);
    for (double y : c.y)
        EXPECT_DOUBLE_EQ(y, -60.0);
}

TEST(SpectrumCurve, AxisFollowsTheScale)
{
    const AxisRange linear{0, 20}, dbRef{-60.1, 25.0}, dbUmax{-60.1, 0.1};
    struct Case {
        SpectrumScale scale;
        AxisRange current;
        std::optional<AxisRange> expected;
    } cases[] = {
        {{false, false}, linear, std::nullopt},
        {{false, false}, dbRef, AxisRange{0, 5}},
        {{true, false}, linear, dbRef},
        {{true, false}, dbUmax, dbRef},
        {{true, false}, dbRef, std::nullopt},
        {{true, true}, dbRef, dbUmax},
        {{true, true}, linear, dbUmax},
        {{true, true}, dbUmax, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpectrumAxisFor(c.scale, c.current, 5), c.expected);
    EXPECT_EQ(EmptySpectrumAxis({true, false}, 5), dbRef);
    EXPECT_EQ(EmptySpectrumAxis({false, false}, 5), (AxisRange{0, 5}));
}

TEST(SpectrumProcessing, ModesKeepWhatTheyDoNotRecompute)
{
    SpectrumRecord record;
    record.length = 1024;
    record.sampleRate = 102'400;
    const auto a = Sine(1024, 10, 1.0);
    const auto b = Square(1024, 10);
    std::array<SpectrumChannelInput, 2> in{};
    in[0] = {true, a};
    in[1] = {true, b};
    SpectrumSettings settings;
    ProcessSpectrum(SpectrumMode::Full, record, in, settings);
    ASSERT_TRUE(record.channels[0].hasData());
    ASSERT_TRUE(record.channels[0].params);
    EXPECT_NEAR(record.channels[0].params->Uvaria, std::sqrt(0.5), 1e-6);
    EXPECT_DOUBLE_EQ(record.channels[0].fundamental.F1, 1000.0);
    EXPECT_EQ(record.channels[0].curve.x.size(), 513u);
    EXPECT_DOUBLE_EQ(record.channels[0].curve.x.back(), 51.2); // kHz

    // Distortion only: a manual F1 from the stored amplitudes.
    settings.manualF1 = 3000.0;
    ProcessSpectrum(SpectrumMode::DistortionOnly, record, in, settings);
    EXPECT_NEAR(record.channels[1].fundamental.A1, record.channels[1].amplitudes[30], 1e-12);

    // Redraw: only the curves change.
    in[0].scale = {true, false};
    const Fundamental before = record.channels[1].fundamental;
    ProcessSpectrum(SpectrumMode::Redraw, record, in, settings);
    EXPECT_DOUBLE_EQ(record.channels[1].fundamental.F1, before.F1);
    EXPECT_NEAR(record.channels[0].curve.y[10], 20 * std::log10(1.0 / 0.775), 1e-9);

    // A channel that was not captured has no curve and no factors.
    in[1] = {};
    ProcessSpectrum(SpectrumMode::Full, record, in, settings);
    EXPECT_FALSE(record.channels[1].hasData());
    EXPECT_TRUE(record.channels[1].curve.x.empty());
    EXPECT_FALSE(record.channels[1].distortion);
}

// Both channels in a buffer read leave 563 samples per channel; the line and its surroundings
// must look as they do in the 1024 samples of one channel.
TEST(SpectrumProcessing, ChannelSpectrumDoesNotDependOnTheOtherChannel)
{
    const double fs = 10'000, f0 = 100 * fs / 1024; // on bin 100
    std::vector<double> x(1024);
    for (int n = 0; n < 1024; ++n)
        x[n] = 2.0 * std::sin(2 * std::numbers::pi * f0 * n / fs + 1.0);
    const std::vector<double> silent(563, 0.0);
    for (SpectrumWindow w : {SpectrumWindow::Hann, SpectrumWindow::Blackman, SpectrumWindow::Harris}) {
        SpectrumSettings settings;
        settings.window = w;
        SpectrumRecord one, two;
        one.length = two.length = 1024;
        one.sampleRate = two.sampleRate = fs;
        ProcessSpectrum(SpectrumMode::Full, one, {SpectrumChannelInput{true, x}, SpectrumChannelInput{}}, settings);
        ProcessSpectrum(SpectrumMode::Full, two,
                        {SpectrumChannelInput{true, std::span(x).first(563)}, SpectrumChannelInput{true, silent}},
                        settings);
        const auto& a1 = one.channels[0].amplitudes;
        const auto& a2 = two.channels[0].amplitudes;
        const auto dB = [](double v) { return 20 * std::log10(v / 0.775); };
        EXPECT_NEAR(dB(a2[100]), dB(a1[100]), 0.5) << static_cast<int>(w);
        for (int k = 1; k < 512; ++k)
            if (std::abs(k - 100) * fs / 1024 >= 300) {
                EXPECT_LT(dB(a2[k]), -60) << static_cast<int>(w) << " bin " << k;
            }
        ASSERT_TRUE(one.channels[0].distortion && two.channels[0].distortion);
        EXPECT_DOUBLE_EQ(two.channels[0].distortion->kg, one.channels[0].distortion->kg);
        EXPECT_DOUBLE_EQ(two.channels[0].distortion->k3, one.channels[0].distortion->k3);
    }
}

TEST(SpectrumReadType, BoundaryAndChannels)
{
    struct Case {
        double knob;
        std::optional<double> boundary;
        bool both;
        bool buffered;
        int length;
    } cases[] = {
        {200'000, std::nullopt, false, true, 1024},   // "Все": every rate buffered
        {100, std::nullopt, false, true, 1024},
        {10'000, 20'000.0, false, false, 8192},
        {20'000, 20'000.0, false, false, 8192},
        {25'000, 20'000.0, false, true, 1024},
        {15'000, 20'000.0, true, true, 1024},         // the boundary halves with both channels
        {10'000, 20'000.0, true, false, 8192},
    };
    for (const Case& c : cases) {
        const auto t = ChooseSpectrumReadType(c.knob, c.boundary, c.both, 8192);
        EXPECT_EQ(t.buffered, c.buffered) << c.knob;
        EXPECT_EQ(t.length, c.length) << c.knob;
    }
    EXPECT_DOUBLE_EQ(ChooseSpectrumReadType(7'000, std::nullopt, false, 8192).sampleRate, 24e6 / 3428);
}

TEST(SpectrumAcquisition, SamplesAreCutToTheBlockLength)
{
    OscResult r;
    r.CountA = 1126;
    r.CountB = 0;
    EXPECT_EQ(SpectrumSamples(r, 0, 1024).size(), 1024u);
    EXPECT_EQ(SpectrumSamples(r, 1, 1024).size(), 0u);
    SpectrumBlockInput in;
    in.streamMode = true;
    in.capacity = 4096;
    const auto p = SpectrumAcquisitionParams(BuildSpectrumBlock(in), false);
    EXPECT_TRUE(p.streamMode());
    EXPECT_FALSE(p.triggerOn);
    EXPECT_EQ(p.capacity, 4096);
}

} // namespace
} // namespace tesmar
