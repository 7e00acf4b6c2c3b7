#pragma once
// The transform cores on raw split arrays (real parts, imaginary parts). Lengths are powers of
// two given as log2; callers check them. Scaling is 1/sqrt(N) in both directions.

namespace tesmar::fft {

// Forward (e^-) or inverse (e^+) DFT of 2^log2n complex values, in place, natural order.
void ComplexTransform(double* re, double* im, int log2n, bool inverse);

// Forward DFT of 2^log2n real samples given in re (im is ignored on entry): the full
// conjugate-symmetric spectrum is left in re and im. log2n >= 2.
void RealForwardTransform(double* re, double* im, int log2n);

} // namespace tesmar::fft
