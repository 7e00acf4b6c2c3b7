#include "dsp/TwiddleTable.h"

#include <cmath>
#include <numbers>

namespace tesmar {

const TwiddleTable& TwiddleTable::Shared() {
    static const TwiddleTable table;
    return table;
}

TwiddleTable::TwiddleTable()
    : halfCos_(2 * kMaxHalfSpan), halfSin_(2 * kMaxHalfSpan), tripleCos_(kMaxHalfSpan),
      tripleSin_(kMaxHalfSpan) {
    // Only the finest table is evaluated; every coarser one is a strided copy of it, so that
    // all stages share exactly the same rounded values.
    constexpr int finest = kMaxHalfSpan;
    double* fineCos = halfCos_.data() + finest;
    double* fineSin = halfSin_.data() + finest;
    for (int k = 0; k < finest; ++k) {
        const double angle = std::numbers::pi * k / finest;
        fineCos[k] = std::cos(angle);
        fineSin[k] = -std::sin(angle);
    }
    for (int span = finest / 2; span >= 1; span /= 2) {
        const int stride = finest / span;
        for (int k = 0; k < span; ++k) {
            halfCos_[span + k] = fineCos[k * stride];
            halfSin_[span + k] = fineSin[k * stride];
        }
    }
    // 3k/(2·span) reaches up to 1.5 half-turns: past one half-turn the factor is the negated
    // factor half a turn earlier.
    for (int span = kMaxHalfSpan / 2; span >= 1; span /= 2) {
        const int stride = finest / (2 * span);
        for (int k = 0; k < span; ++k) {
            int index = 3 * k * stride;
            double sign = 1.0;
            if (index >= finest) {
                index -= finest;
                sign = -1.0;
            }
            tripleCos_[span + k] = sign * fineCos[index];
            tripleSin_[span + k] = sign * fineSin[index];
        }
    }
}

} // namespace tesmar
