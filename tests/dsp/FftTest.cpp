#include "dsp/FFT87B2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace tesmar {
namespace {

constexpr double kPi = std::numbers::pi;

std::vector<std::complex<double>> DirectDft(const std::vector<std::complex<double>>& x, bool inverse) {
    const std::size_t n = x.size();
    std::vector<std::complex<double>> result(n);
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t t = 0; t < n; ++t)
            sum += x[t] * std::polar(1.0, sign * 2.0 * kPi * static_cast<double>((k * t) % n) / n);
        result[k] = sum / std::sqrt(static_cast<double>(n));
    }
    return result;
}

void FillRandom(FFTArray& re, FFTArray& im, int n, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int i = 0; i < n; ++i) {
        re[i] = value(generator);
        im[i] = value(generator);
    }
}

double MaxAbs(const FFTArray& a, int n) {
    double m = 0.0;
    for (int i = 0; i < n; ++i)
        m = std::max(m, std::fabs(a[i]));
    return m;
}

TEST(ComplexFFT, MatchesDirectDftBothWays) {
    for (int n : {2, 4, 8, 16, 32, 64, 128, 512}) {
        for (bool inverse : {false, true}) {
            SCOPED_TRACE(testing::Message() << "n=" << n << " inverse=" << inverse);
            FFTArray re, im;
            FillRandom(re, im, n, 7u + n);
            std::vector<std::complex<double>> input(n);
            for (int i = 0; i < n; ++i)
                input[i] = {re[i], im[i]};
            std::uint8_t status = 99;
            ComplexFFT(n, inverse, re, im, status);
            ASSERT_EQ(status, FftDone);
            const auto expected = DirectDft(input, inverse);
            for (int k = 0; k < n; ++k) {
                EXPECT_NEAR(re[k], expected[k].real(), 1e-12) << "bin " << k;
                EXPECT_NEAR(im[k], expected[k].imag(), 1e-12) << "bin " << k;
            }
        }
    }
}

TEST(ComplexFFT, ForwardThenInverseReturnsTheInput) {
    for (int n : {2, 8, 1024, 4096, 65536, 131072}) {
        SCOPED_TRACE(n);
        FFTArray re, im;
        FillRandom(re, im, n, 11u);
        const FFTArray originalRe = re, originalIm = im;
        std::uint8_t status = 99;
        ComplexFFT(n, false, re, im, status);
        ASSERT_EQ(status, FftDone);
        ComplexFFT(n, true, re, im, status);
        ASSERT_EQ(status, FftDone);
        double error = 0.0;
        for (int i = 0; i < n; ++i)
            error = std::max({error, std::fabs(re[i] - originalRe[i]), std::fabs(im[i] - originalIm[i])});
        EXPECT_LT(error / std::max(MaxAbs(originalRe, n), MaxAbs(originalIm, n)), 1e-12);
    }
}

TEST(ComplexFFT, InverseOfARealSpectrumIsReal) {
    const int n = 256;
    FFTArray re, im;
    for (int i = 0; i < n; ++i)
        re[i] = std::sin(0.3 * i) + 0.25 * std::cos(1.7 * i);
    std::uint8_t status = 99;
    RealFFT(n, re, im, status);
    ComplexFFT(n, true, re, im, status);
    ASSERT_EQ(status, FftDone);
    EXPECT_LT(MaxAbs(im, n), 1e-13);
}

TEST(RealFFT, EqualsComplexFftAndDirectDftOnRandomData) {
    for (int n : {4, 8, 16, 64, 256, 1024}) {
        SCOPED_TRACE(n);
        FFTArray re, im, unused;
        FillRandom(re, unused, n, 3u + n);
        im[0] = 123.0; // RealFFT ignores the imaginary input
        FFTArray complexRe = re, complexIm;
        std::vector<std::complex<double>> input(n);
        for (int i = 0; i < n; ++i)
            input[i] = re[i];

        std::uint8_t status = 99;
        RealFFT(n, re, im, status);
        ASSERT_EQ(status, FftDone);
        ComplexFFT(n, false, complexRe, complexIm, status);
        ASSERT_EQ(status, FftDone);
        const auto direct = DirectDft(input, false);
        for (int k = 0; k < n; ++k) {
            EXPECT_NEAR(re[k], complexRe[k], 1e-13) << "bin " << k;
            EXPECT_NEAR(im[k], complexIm[k], 1e-13) << "bin " << k;
            EXPECT_NEAR(re[k], direct[k].real(), 1e-12) << "bin " << k;
            EXPECT_NEAR(im[k], direct[k].imag(), 1e-12) << "bin " << k;
        }
    }
}

TEST(RealFFT, LargeLengthsAgreeWithComplexFft) {
    for (int n : {65536, 131072}) {
        SCOPED_TRACE(n);
        FFTArray re, unused;
        FillRandom(re, unused, n, 5u);
        FFTArray im, complexRe = re, complexIm;
        std::uint8_t status = 99;
        RealFFT(n, re, im, status);
        ASSERT_EQ(status, FftDone);
        ComplexFFT(n, false, complexRe, complexIm, status);
        double error = 0.0;
        for (int k = 0; k < n; ++k)
            error = std::max({error, std::fabs(re[k] - complexRe[k]), std::fabs(im[k] - complexIm[k])});
        EXPECT_LT(error, 1e-12);
    }
}

TEST(RealFFT, ScalingOfSineAndDc) {
    const int n = 1024;
    const double amplitude = 2.5, dc = 0.75;
    for (int bin : {1, 37, 511}) {
        SCOPED_TRACE(bin);
        FFTArray re, im;
        for (int i = 0; i < n; ++i)
            re[i] = dc + amplitude * std::cos(2.0 * kPi * bin * i / n);
        std::uint8_t status = 99;
        RealFFT(n, re, im, status);
        ASSERT_EQ(status, FftDone);
        const double expectedPeak = amplitude * std::sqrt(double(n)) / 2.0;
        EXPECT_NEAR(re[0], dc * std::sqrt(double(n)), 1e-11);
        EXPECT_NEAR(re[bin], expectedPeak, 1e-11);
        EXPECT_NEAR(re[n - bin], expectedPeak, 1e-11);
        for (int k = 0; k < n; ++k) {
            EXPECT_NEAR(im[k], 0.0, 1e-11) << k;
            if (k != 0 && k != bin && k != n - bin) {
                EXPECT_NEAR(re[k], 0.0, 1e-11) << k;
            }
        }
    }
    // A sine (not a cosine) of the same amplitude has the same magnitude on its bin.
    FFTArray re, im;
    for (int i = 0; i < n; ++i)
        re[i] = amplitude * std::sin(2.0 * kPi * 100 * i / n);
    std::uint8_t status = 99;
    RealFFT(n, re, im, status);
    EXPECT_NEAR(std::hypot(re[100], im[100]), amplitude * std::sqrt(double(n)) / 2.0, 1e-11);
    EXPECT_NEAR(im[100], -amplitude * std::sqrt(double(n)) / 2.0, 1e-11); // e^-: sine shows as -i
}

TEST(FFTStatus, BadLengthsReportAndTouchNothing) {
    struct Case {
        bool real;
        int n;
        std::uint8_t status;
    };
    const Case cases[] = {
        {false, 1, FftTooShort},      {false, 0, FftTooShort},     {false, -8, FftTooShort},
        {false, 3, FftBadLength},     {false, 1000, FftBadLength}, {false, 262144, FftBadLength},
        {true, 2, FftTooShort},       {true, 3, FftTooShort},      {true, 0, FftTooShort},
        {true, 6, FftBadLength},      {true, 5, FftBadLength},     {true, 1000, FftBadLength},
        {true, 262144, FftBadLength},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.real ? "RealFFT " : "ComplexFFT ") << c.n);
        FFTArray re, im;
        FillRandom(re, im, 64, 1u);
        const FFTArray originalRe = re, originalIm = im;
        std::uint8_t status = 99;
        if (c.real)
            RealFFT(c.n, re, im, status);
        else
            ComplexFFT(c.n, false, re, im, status);
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(re == originalRe);
        EXPECT_TRUE(im == originalIm);
    }
}

} // namespace
} // namespace tesmar
