#pragma once
// Twiddle factors for every transform length, computed once and read-only afterwards, so that a
// transform costs no trigonometry and no allocation. The factors of a stage do not depend on the
// transform length, so one table per half-span serves all lengths.

#include <vector>

namespace tesmar {

class TwiddleTable {
  public:
    static constexpr int kMaxHalfSpan = 1 << 16;

    // The table for half-spans 1 ... 2^16; built on first use (thread-safe), never modified.
    static const TwiddleTable& Shared();

    // e^(-i·pi·k/span) for k = 0 ... span-1, span a power of two up to 2^16.
    const double* cosines(int span) const { return halfCos_.data() + span; }
    const double* sines(int span) const { return halfSin_.data() + span; }
    // e^(-3i·pi·k/(2·span)) for k = 0 ... span-1, span up to 2^15: the third factor of a
    // radix-4 butterfly over four blocks of `span` points.
    const double* tripleCosines(int span) const { return tripleCos_.data() + span; }
    const double* tripleSines(int span) const { return tripleSin_.data() + span; }

  private:
    TwiddleTable();

    std::vector<double> halfCos_, halfSin_;     // span s at [s, 2s)
    std::vector<double> tripleCos_, tripleSin_; // span s at [s, 2s)
};

} // namespace tesmar
