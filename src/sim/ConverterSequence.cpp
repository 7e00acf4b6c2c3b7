#include "ConverterSequence.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

ConverterSequence::ConverterSequence(const AnalogBlock& block, const AnalogFrontEnd& frontEnd, double rate,
                                     std::int64_t startUs)
    : frontEnd_(frontEnd), rate_(rate), startUs_(startUs)
{
    for (int i = 0; i < 8; ++i)
        inputs_[i] = block.bytes[4 + i];
    const std::uint8_t before = block.bytes[3];
    for (int i = 0; i < 8; ++i)
        triggerSlot_[i] = inputs_[(i + 7) % 8] == before;
}

double ConverterSequence::RateOf(const AnalogBlock& block, std::uint16_t wValue)
{
    const bool inHertz = (block.bytes[0] & AnalogBlock::kRateInHertz) != 0;
    return inHertz ? wValue : wValue * 10.0;
}

double ConverterSequence::time(std::int64_t n) const
{
    return static_cast<double>(startUs_) * 1e-6 + static_cast<double>(n) / rate_;
}

std::int64_t ConverterSequence::samplesBy(std::int64_t nowUs) const
{
    if (rate_ <= 0.0 || nowUs < startUs_)
        return 0;
    // Sample 0 is taken at the start itself; the count is kept far from the 64-bit limit.
    const double taken = std::floor(static_cast<double>(nowUs - startUs_) * 1e-6 * rate_);
    return static_cast<std::int64_t>(std::min(taken, 1e18)) + 1;
}

int ConverterSequence::raw(std::int64_t n) const
{
    return frontEnd_.sample(inputs_[slot(n)], time(n));
}

} // namespace tesmar
