#include "dsp/FftKernel.h"

#include "dsp/TwiddleTable.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace tesmar::fft {
namespace {

constexpr std::array<std::uint8_t, 256> ReversedBytes() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        unsigned reversed = 0;
        for (int bit = 0; bit < 8; ++bit)
            reversed |= ((value >> bit) & 1u) << (7 - bit);
        table[value] = static_cast<std::uint8_t>(reversed);
    }
    return table;
}

// The lowest `bits` bits of value in reverse order (bits <= 24).
[[gnu::always_inline]] inline unsigned ReverseIndex(unsigned value, int bits) {
    static constexpr std::array<std::uint8_t, 256> kReversed = ReversedBytes();
    const unsigned reversed24 = (unsigned{kReversed[value & 0xFF]} << 16) |
                                (unsigned{kReversed[(value >> 8) & 0xFF]} << 8) |
                                kReversed[(value >> 16) & 0xFF];
    return reversed24 >> (24 - bits);
}

// Bit-reversed reordering of both arrays. Index bits are split as (high, middle, low) with 3 high
// and 3 low bits: reversing maps the 8x8 tile of a middle value onto the tile of the reversed
// middle, so each swap of tiles touches 8 cache lines on either side instead of one line per
// element. Short lengths use the plain Gold-Rader walk.
[[gnu::always_inline]] inline void BitReverse(double* __restrict re, double* __restrict im, int log2n) {
    const int n = 1 << log2n;
    constexpr int edgeBits = 3;
    constexpr int edge = 1 << edgeBits;
    const int midBits = log2n - 2 * edgeBits;
    if (midBits < 0) {
        int j = 0;
        for (int i = 0; i < n - 1; ++i) {
            if (i < j) {
                std::swap(re[i], re[j]);
                std::swap(im[i], im[j]);
            }
            int h = n / 2;
            while (h <= j) {
                j -= h;
                h /= 2;
            }
            j += h;
        }
        return;
    }
    static constexpr int kReversed3[edge] = {0, 4, 2, 6, 1, 5, 3, 7};
    const int highShift = log2n - edgeBits;
    // One array at a time: the rows of a tile lie a power of two apart and share cache sets.
    for (double* values : {re, im}) {
        for (unsigned mid = 0; mid < (1u << midBits); ++mid) {
            const unsigned midReversed = ReverseIndex(mid, midBits);
            if (midReversed < mid)
                continue;
            const int base = static_cast<int>(mid << edgeBits);
            const int baseReversed = static_cast<int>(midReversed << edgeBits);
            for (int high = 0; high < edge; ++high) {
                for (int low = 0; low < edge; ++low) {
                    const int i = (high << highShift) | base | low;
                    const int j = (kReversed3[low] << highShift) | baseReversed | kReversed3[high];
                    if (mid != midReversed || i < j)
                        std::swap(values[i], values[j]);
                }
            }
        }
    }
}

// target[j] = source[stride · reverse(j)] for j < 2^bits, tile by tile as in BitReverse so that
// both sides are read and written a cache line at a time.
[[gnu::always_inline]] inline void BitReversedGather(const double* __restrict source, int stride,
                                                     double* __restrict target, int bits) {
    constexpr int edgeBits = 3;
    constexpr int edge = 1 << edgeBits;
    static constexpr int kReversed3[edge] = {0, 4, 2, 6, 1, 5, 3, 7};
    const int midBits = bits - 2 * edgeBits;
    if (midBits < 0) {
        for (unsigned j = 0; j < (1u << bits); ++j)
            target[j] = source[stride * static_cast<int>(ReverseIndex(j, bits))];
        return;
    }
    const int highShift = bits - edgeBits;
    for (unsigned mid = 0; mid < (1u << midBits); ++mid) {
        const int base = static_cast<int>(mid << edgeBits);
        const int baseReversed = static_cast<int>(ReverseIndex(mid, midBits) << edgeBits);
        for (int low = 0; low < edge; ++low) {
            const double* from = source + stride * ((kReversed3[low] << highShift) | baseReversed);
            double* to = target + base + low;
            for (int high = 0; high < edge; ++high)
                to[high << highShift] = from[stride * kReversed3[high]];
        }
    }
}

[[gnu::always_inline]] inline void Radix2FirstPass(double* __restrict re, double* __restrict im, int n) {
    for (int i = 0; i < n; i += 2) {
        const double r0 = re[i], i0 = im[i], r1 = re[i + 1], i1 = im[i + 1];
        re[i] = r0 + r1;
        im[i] = i0 + i1;
        re[i + 1] = r0 - r1;
        im[i + 1] = i0 - i1;
    }
}

// Half-spans 1 and 2 merged: groups of four with trivial factors.
[[gnu::always_inline]] inline void Radix4FirstPass(double* __restrict re, double* __restrict im, int n) {
    for (int g = 0; g < n; g += 4) {
        // Bit-reversed order: g+1 holds residue 2, g+2 residue 1.
        const double ar = re[g] + re[g + 1], ai = im[g] + im[g + 1];
        const double br = re[g] - re[g + 1], bi = im[g] - im[g + 1];
        const double cr = re[g + 2] + re[g + 3], ci = im[g + 2] + im[g + 3];
        const double er = re[g + 2] - re[g + 3], ei = im[g + 2] - im[g + 3];
        re[g] = ar + cr;
        im[g] = ai + ci;
        re[g + 2] = ar - cr;
        im[g + 2] = ai - ci;
        re[g + 1] = br + ei;
        im[g + 1] = bi - er;
        re[g + 3] = br - ei;
        im[g + 3] = bi + er;
    }
}

// One radix-4 butterfly column over the four d-point blocks of a group.
[[gnu::always_inline]] inline void
Radix4Butterflies(double* __restrict r0, double* __restrict r1, double* __restrict r2, double* __restrict r3,
                  double* __restrict i0, double* __restrict i1, double* __restrict i2, double* __restrict i3,
                  int d, const double* __restrict w1r, const double* __restrict w1i,
                  const double* __restrict w2r, const double* __restrict w2i, const double* __restrict w3r,
                  const double* __restrict w3i) {
    for (int k = 0; k < d; ++k) {
        const double t0r = r0[k], t0i = i0[k];
        const double t2r = r1[k] * w2r[k] - i1[k] * w2i[k];
        const double t2i = r1[k] * w2i[k] + i1[k] * w2r[k];
        const double t1r = r2[k] * w1r[k] - i2[k] * w1i[k];
        const double t1i = r2[k] * w1i[k] + i2[k] * w1r[k];
        const double t3r = r3[k] * w3r[k] - i3[k] * w3i[k];
        const double t3i = r3[k] * w3i[k] + i3[k] * w3r[k];
        const double ar = t0r + t2r, ai = t0i + t2i;
        const double br = t0r - t2r, bi = t0i - t2i;
        const double cr = t1r + t3r, ci = t1i + t3i;
        const double er = t1r - t3r, ei = t1i - t3i;
        r0[k] = ar + cr;
        i0[k] = ai + ci;
        r2[k] = ar - cr;
        i2[k] = ai - ci;
        r1[k] = br + ei; // b + (-i)·e
        i1[k] = bi - er;
        r3[k] = br - ei; // b - (-i)·e
        i3[k] = bi + er;
    }
}

// Two radix-2 stages (half-spans d and 2d) in one pass over the data: each group of 4d points
// holds four d-point spectra in bit-reversed block order (residues 0, 2, 1, 3).
[[gnu::always_inline]] inline void Radix4Pass(double* re, double* im, int n, int d,
                                              const TwiddleTable& table) {
    for (int g = 0; g < n; g += 4 * d) {
        double* r = re + g;
        double* i = im + g;
        Radix4Butterflies(r, r + d, r + 2 * d, r + 3 * d, i, i + d, i + 2 * d, i + 3 * d, d,
                          table.cosines(2 * d), table.sines(2 * d), table.cosines(d), table.sines(d),
                          table.tripleCosines(d), table.tripleSines(d));
    }
}

// Unscaled forward DFT (e^-) of data already in bit-reversed order; natural order out.
[[gnu::always_inline]] inline void ForwardFromBitReversed(double* re, double* im, int log2n) {
    const int n = 1 << log2n;
    const TwiddleTable& table = TwiddleTable::Shared();
    int d;
    if (log2n % 2 == 1) {
        Radix2FirstPass(re, im, n);
        d = 2;
    } else {
        Radix4FirstPass(re, im, n);
        d = 4;
    }
    for (; 4 * d <= n; d *= 4)
        Radix4Pass(re, im, n, d, table);
}

[[gnu::always_inline]] inline void Scale(double* __restrict values, int n, double factor) {
    for (int i = 0; i < n; ++i)
        values[i] *= factor;
}

} // namespace

// Built for AVX with FMA as well as the baseline; the loader picks what the processor has.
// The choice runs before ThreadSanitizer's runtime is up and crashes it, so that build keeps
// the baseline only.
#if defined(__SANITIZE_THREAD__)
#define TESMAR_FFT_CLONES
#else
#define TESMAR_FFT_CLONES __attribute__((target_clones("fma", "default")))
#endif

TESMAR_FFT_CLONES void ComplexTransform(double* re, double* im, int log2n, bool inverse) {
    const int n = 1 << log2n;
    // The inverse is the forward transform of the conjugate, conjugated back.
    if (inverse)
        Scale(im, n, -1.0);
    BitReverse(re, im, log2n);
    ForwardFromBitReversed(re, im, log2n);
    const double scale = 1.0 / std::sqrt(static_cast<double>(n));
    Scale(re, n, scale);
    Scale(im, n, inverse ? -scale : scale);
}

TESMAR_FFT_CLONES void RealForwardTransform(double* __restrict re, double* __restrict im, int log2n) {
    const int n = 1 << log2n;
    const int m = n / 2;
    // Pack even samples as real and odd samples as imaginary parts of m points, straight into
    // bit-reversed order (the reordering costs nothing extra here). The even samples are parked
    // in the upper half of im, which the unpacking overwrites anyway.
    const int halfBits = log2n - 1;
    double* __restrict parked = im + m;
    for (int k = 0; k < m; ++k)
        parked[k] = re[2 * k];
    BitReversedGather(re + 1, 2, im, halfBits);
    BitReversedGather(parked, 1, re, halfBits);
    ForwardFromBitReversed(re, im, halfBits);

    // Unpack Z (unscaled m-point spectrum) into X; bins k and m-k need each other, so they are
    // done in pairs and the mirrored halves go to the free upper part of the arrays.
    const double norm = 1.0 / std::sqrt(static_cast<double>(n));
    const double half = 0.5 * norm;
    const TwiddleTable& table = TwiddleTable::Shared();
    const double* __restrict wc = table.cosines(m);
    const double* __restrict ws = table.sines(m);

    const double z0r = re[0], z0i = im[0];
    re[0] = (z0r + z0i) * norm;
    im[0] = 0.0;
    re[m] = (z0r - z0i) * norm;
    im[m] = 0.0;
    for (int k = 1; k <= m / 2; ++k) {
        const int q = m - k;
        const double zr = re[k], zi = im[k], yr = re[q], yi = im[q];
        const double sr = zr + yr, si = zi + yi, dr = zr - yr, di = zi - yi;
        // Bin k with twiddle (c, s) = e^(-i·pi·k/m); bin m-k sees the sums unchanged, the
        // differences negated and the twiddle (-c, s).
        const double c = wc[k], s = ws[k];
        const double pk = (sr + c * si + s * dr) * half;
        const double qk = (di + s * si - c * dr) * half;
        const double pq = (sr - c * si - s * dr) * half;
        const double qq = (-di + s * si - c * dr) * half;
        re[k] = pk;
        im[k] = qk;
        re[n - k] = pk;
        im[n - k] = -qk;
        re[q] = pq;
        im[q] = qq;
        re[n - q] = pq;
        im[n - q] = -qq;
    }
}

} // namespace tesmar::fft
