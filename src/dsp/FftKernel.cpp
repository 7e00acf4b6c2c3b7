#include "dsp/FftKernel.h"

#include "dsp/TwiddleTable.h"

#include <cmath>
#include <utility>

namespace tesmar::fft {
namespace {

void BitReverse(double* __restrict re, double* __restrict im, int n)
{
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
}

void Radix2FirstPass(double* __restrict re, double* __restrict im, int n)
{
    for (int i = 0; i < n; i += 2) {
        const double r0 = re[i], i0 = im[i], r1 = re[i + 1], i1 = im[i + 1];
        re[i] = r0 + r1;
        im[i] = i0 + i1;
        re[i + 1] = r0 - r1;
        im[i + 1] = i0 - i1;
    }
}

// Half-spans 1 and 2 merged: groups of four with trivial factors.
void Radix4FirstPass(double* __restrict re, double* __restrict im, int n)
{
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

// Two radix-2 stages (half-spans d and 2d) in one pass over the data: each group of 4d points
// holds four d-point spectra in bit-reversed block order (residues 0, 2, 1, 3).
void Radix4Pass(double* __restrict re, double* __restrict im, int n, int d, const TwiddleTable& table)
{
    const double* __restrict w1r = table.cosines(2 * d);
    const double* __restrict w1i = table.sines(2 * d);
    const double* __restrict w2r = table.cosines(d);
    const double* __restrict w2i = table.sines(d);
    const double* __restrict w3r = table.tripleCosines(d);
    const double* __restrict w3i = table.tripleSines(d);
    for (int g = 0; g < n; g += 4 * d) {
        double* __restrict r0 = re + g;
        double* __restrict r1 = r0 + d;
        double* __restrict r2 = r1 + d;
        double* __restrict r3 = r2 + d;
        double* __restrict i0 = im + g;
        double* __restrict i1 = i0 + d;
        double* __restrict i2 = i1 + d;
        double* __restrict i3 = i2 + d;
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
}

// Unscaled forward DFT (e^-), natural order in and out.
void ForwardUnscaled(double* re, double* im, int log2n)
{
    const int n = 1 << log2n;
    BitReverse(re, im, n);
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

void Scale(double* __restrict values, int n, double factor)
{
    for (int i = 0; i < n; ++i)
        values[i] *= factor;
}

} // namespace

void ComplexTransform(double* re, double* im, int log2n, bool inverse)
{
    const int n = 1 << log2n;
    // The inverse is the forward transform of the conjugate, conjugated back.
    if (inverse)
        Scale(im, n, -1.0);
    ForwardUnscaled(re, im, log2n);
    const double scale = 1.0 / std::sqrt(static_cast<double>(n));
    Scale(re, n, scale);
    Scale(im, n, inverse ? -scale : scale);
}

void RealForwardTransform(double* __restrict re, double* __restrict im, int log2n)
{
    const int n = 1 << log2n;
    const int m = n / 2;
    // Pack even samples as real and odd samples as imaginary parts of m points; compacting re
    // forwards in place is safe because re[2k] is read before position 2k is written.
    for (int k = 0; k < m; ++k)
        im[k] = re[2 * k + 1];
    for (int k = 0; k < m; ++k)
        re[k] = re[2 * k];
    ForwardUnscaled(re, im, log2n - 1);

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
