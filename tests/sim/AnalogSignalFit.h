#pragma once
// Measurements of recorded signals for the virtual instrument's tests.

#include <cmath>
#include <numbers>
#include <vector>

namespace tesmar::test {

struct SineFit {
    double amplitude = 0, offset = 0, worstResidual = 0;
};

// Least squares of v ≈ a sin(ωt) + b cos(ωt) + c with the frequency known.
inline SineFit FitSine(const std::vector<double>& v, double sampleRate, double frequency)
{
    const double w = 2.0 * std::numbers::pi * frequency / sampleRate;
    double m[3][4] = {};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double basis[3] = {std::sin(w * i), std::cos(w * i), 1.0};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[r][c] += basis[r] * basis[c];
            m[r][3] += basis[r] * v[i];
        }
    }
    for (int p = 0; p < 3; ++p) // Gauss–Jordan; the matrix is symmetric positive definite
        for (int r = 0; r < 3; ++r)
            if (r != p) {
                const double f = m[r][p] / m[p][p];
                for (int c = 0; c < 4; ++c)
                    m[r][c] -= f * m[p][c];
            }
    const double a = m[0][3] / m[0][0], b = m[1][3] / m[1][1], c = m[2][3] / m[2][2];
    SineFit fit{std::hypot(a, b), c, 0};
    for (std::size_t i = 0; i < v.size(); ++i)
        fit.worstResidual = std::max(fit.worstResidual, std::fabs(v[i] - (a * std::sin(w * i) + b * std::cos(w * i) + c)));
    return fit;
}

// Frequency from the first and last upward crossings of the mid level, interpolated.
inline double CrossingFrequency(const std::vector<double>& v, double sampleRate)
{
    double lo = v[0], hi = v[0];
    for (double x : v)
        lo = std::min(lo, x), hi = std::max(hi, x);
    const double mid = (lo + hi) / 2;
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < v.size(); ++i)
        if (v[i - 1] < mid && v[i] >= mid) {
            const double at = (i - 1) + (mid - v[i - 1]) / (v[i] - v[i - 1]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

} // namespace tesmar::test
