#include "dsp/WavUtils.h"

#include "dsp/WaveletError.h"
#include "dsp/WaveletFilters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <string>

namespace tesmar {
namespace {

TVector RandomSignal(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<double> value(0.0, 1.0);
    TVector x(length);
    for (double& v : x)
        v = value(generator);
    return x;
}

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const WaveletError& error) {
        return error.what();
    }
    return "no error";
}

TEST(DaubechiesFilter, OrthonormalWithVanishingMoments) {
    for (int order = 1; order <= kMaxWaveletOrder; ++order) {
        SCOPED_TRACE(order);
        const TVector& h = DaubechiesFilter(order);
        ASSERT_EQ(h.size(), static_cast<std::size_t>(2 * order));
        EXPECT_NEAR(std::accumulate(h.begin(), h.end(), 0.0), std::sqrt(2.0), 1e-14);
        // Orthogonal to its even shifts, unit energy.
        for (std::size_t shift = 0; shift < h.size(); shift += 2) {
            double dot = 0.0;
            for (std::size_t m = 0; m + shift < h.size(); ++m)
                dot += h[m] * h[m + shift];
            EXPECT_NEAR(dot, shift == 0 ? 1.0 : 0.0, 1e-14) << "shift " << shift;
        }
        // p vanishing moments: sum (-1)^m m^q h[m] = 0 for q < p.
        for (int q = 0; q < order; ++q) {
            double moment = 0.0, scale = 0.0;
            for (std::size_t m = 0; m < h.size(); ++m) {
                const double term = std::pow(static_cast<double>(m), q) * h[m];
                moment += (m % 2 == 0 ? 1.0 : -1.0) * term;
                scale += std::fabs(term);
            }
            EXPECT_NEAR(moment / scale, 0.0, 1e-12) << "moment " << q;
        }
    }
}

TEST(DaubechiesFilter, KnownTaps) {
    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0);
    EXPECT_DOUBLE_EQ(DaubechiesFilter(1)[0], 1.0 / r2);
    EXPECT_DOUBLE_EQ(DaubechiesFilter(1)[1], 1.0 / r2);
    const TVector db2 = {(1 + r3) / (4 * r2), (3 + r3) / (4 * r2), (3 - r3) / (4 * r2), (1 - r3) / (4 * r2)};
    for (int m = 0; m < 4; ++m)
        EXPECT_NEAR(DaubechiesFilter(2)[m], db2[m], 1e-15);
    const TVector& db4 = DaubechiesFilter(4);
    EXPECT_NEAR(db4[0], 0.2303778, 5e-8);
    EXPECT_NEAR(db4[1], 0.7148466, 5e-8);
    EXPECT_NEAR(db4[2], 0.6308808, 5e-8);
}

TEST(WaveletSmooth, HaarAveragesPairs) {
    const TVector oneLevel = WaveletSmooth({1, 3, 5, 7}, 1, 1);
    const TVector expected = {2, 2, 6, 6};
    ASSERT_EQ(oneLevel.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(oneLevel[i], expected[i], 1e-14) << i;
    const TVector twoLevels = WaveletSmooth({1, 3, 5, 7}, 1, 2);
    for (double v : twoLevels)
        EXPECT_NEAR(v, 4.0, 1e-14);
}

TEST(WaveletSmooth, ConstantSignalIsUnchanged) {
    struct Case {
        std::size_t length;
        int order;
        int levels;
    };
    const Case cases[] = {{64, 1, 3}, {512, 4, 1}, {1125, 5, 3}, {563, 10, 2}, {1024, 7, 4}};
    for (const Case& c : cases) {
        const TVector flat(c.length, 1.25);
        const TVector smooth = WaveletSmooth(flat, c.order, c.levels);
        ASSERT_EQ(smooth.size(), c.length);
        for (std::size_t i = 0; i < c.length; ++i)
            ASSERT_NEAR(smooth[i], 1.25, 1e-12)
                << "order " << c.order << " levels " << c.levels << " i " << i;
    }
}

TEST(WaveletDecompose, ReconstructionIsPerfectWithDetailsKept) {
    for (int order : {1, 2, 4, 5, 10}) {
        for (std::size_t length : {1024u, 1125u, 563u}) {
            const TVector x = RandomSignal(length, 9u + order);
            const TDecomposition d = WaveletDecompose(x, order, 3);
            ASSERT_EQ(d.details.size(), 3u);
            const TVector back = WaveletReconstruct(d);
            ASSERT_EQ(back.size(), length);
            // Odd lengths are padded per level and the pad dropped again: still exact.
            for (std::size_t i = 0; i < length; ++i)
                ASSERT_NEAR(back[i], x[i], 1e-11) << "order " << order << " length " << length << " i " << i;
        }
    }
}

TEST(WaveletSmooth, OddLengthPaddingOnlyTouchesTheEnd) {
    // A smooth ramp with odd length: the padding sample (x[L-1] + x[0])/2 breaks the ramp at the
    // end, so only the last samples may differ from the even-length result.
    const std::size_t length = 1125;
    TVector odd(length), even(length + 1);
    for (std::size_t i = 0; i < length + 1; ++i) {
        even[i] = std::sin(0.01 * static_cast<double>(i));
        if (i < length)
            odd[i] = even[i];
    }
    const TVector smoothOdd = WaveletSmooth(odd, 4, 1);
    ASSERT_EQ(smoothOdd.size(), length);
    const TVector fullRound = WaveletReconstruct(WaveletDecompose(odd, 4, 1));
    ASSERT_EQ(fullRound.size(), length);
    for (std::size_t i = 0; i < length; ++i)
        EXPECT_NEAR(fullRound[i], odd[i], 1e-11) << i;
    // The smoothed interior follows the signal closely; the effect of the pad stays at the end.
    for (std::size_t i = 20; i < length - 20; ++i)
        EXPECT_NEAR(smoothOdd[i], odd[i], 1e-3) << i;
}

TEST(WaveletErrors, OrderAndLength) {
    const TVector signal(64, 1.0);
    EXPECT_EQ(ErrorText([&] { WaveletSmooth(signal, 0, 1); }), "Недопустимый порядок вейвлета");
    EXPECT_EQ(ErrorText([&] { WaveletSmooth(signal, 11, 1); }), "Недопустимый порядок вейвлета");
    TDecomposition bad = WaveletDecompose(signal, 2, 1);
    bad.order = 12;
    EXPECT_EQ(ErrorText([&] { WaveletReconstruct(bad); }), "Недопустимый порядок вейвлета");

    EXPECT_EQ(ErrorText([] { WaveletSmooth(TVector(8, 1.0), 5, 1); }),
              "Длина сигнала не может быть меньше длины фильтра");
    EXPECT_EQ(ErrorText([] { WaveletSmooth(TVector(9, 1.0), 5, 1); }), "no error");
    EXPECT_EQ(ErrorText([] { WaveletSmooth(TVector{}, 1, 1); }),
              "Длина сигнала не может быть меньше длины фильтра");
    // The second level of 20 samples has only 10 (order 6 needs 12).
    EXPECT_EQ(ErrorText([] { WaveletSmooth(TVector(20, 1.0), 6, 2); }),
              "Длина сигнала не может быть меньше длины фильтра");

    TDecomposition mismatched = WaveletDecompose(RandomSignal(64, 1), 3, 2);
    mismatched.signalLength = 70;
    EXPECT_EQ(ErrorText([&] { WaveletReconstruct(mismatched); }),
              "Длина восстановленного сигнала не соответствует исходному");
}

TEST(SynthesisStep, ShortCoefficientsWrapWithoutReadingOutside) {
    // Fewer coefficients than the filter's wrap: periodic wrap modulo the length.
    const TVector& h = DaubechiesFilter(10);
    const TVector out = SynthesisStep(h, {1.0, 2.0}, {0.5}, false);
    ASSERT_EQ(out.size(), 4u);
    for (double v : out)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(SynthesisStep(h, {}, {}, false).empty());
}

} // namespace
} // namespace tesmar
