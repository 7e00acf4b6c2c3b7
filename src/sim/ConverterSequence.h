#pragma once
// The converter's run after command 5: sample n is taken at start + n / f from the input selector
// in sequence slot n mod 8 of the block. Byte 3 of the block names the input sampled just before
// the trigger input: with one channel on it is that channel's own code, with two channels the
// other channel's, so the record starts with the channel that is not the trigger source.

#include "AnalogFrontEnd.h"
#include "device/AnalogBlock.h"

#include <array>
#include <cstdint>

namespace tesmar {

class ConverterSequence {
public:
    ConverterSequence(const AnalogBlock& block, const AnalogFrontEnd& frontEnd, double rate, std::int64_t startUs);

    // The rate in wValue: hertz with bit 1 of byte 0, else tens of hertz.
    static double RateOf(const AnalogBlock& block, std::uint16_t wValue);

    double rate() const { return rate_; }
    // Seconds of instrument time at which sample n is taken.
    double time(std::int64_t n) const;
    // How many samples have been taken by `nowUs` (none before the start or without a rate).
    std::int64_t samplesBy(std::int64_t nowUs) const;

    int raw(std::int64_t n) const;
    bool isTriggerInput(std::int64_t n) const { return triggerSlot_[slot(n)]; }
    bool externalHigh(std::int64_t n) const { return frontEnd_.externalHigh(time(n)); }

private:
    static int slot(std::int64_t n) { return static_cast<int>(n % 8); }

    AnalogFrontEnd frontEnd_;
    std::array<std::uint8_t, 8> inputs_{};
    std::array<bool, 8> triggerSlot_{};
    double rate_;
    std::int64_t startUs_;
};

} // namespace tesmar
