#pragma once
// What the virtual instrument's analogue inputs are connected to.

#include "SignalSource.h"

namespace tesmar {

struct AnalogScene {
    SignalSource channelA = SignalSource::Sine(2.0, 1000.0);
    SignalSource channelB = SignalSource::Square(1.0, 500.0);
    // The external trigger input (TTL): high above kExternalHighVolts.
    SignalSource externalTrigger = SignalSource::Square(2.5, 500.0, 2.5);
    // An instrument with the two normal-range inputs wired the other way round (the host's `old`).
    bool oldInputs = false;
    // A triggered buffer record never completes: the host waits until it resets the device.
    bool neverTrigger = false;

    static constexpr double kExternalHighVolts = 1.4;
};

} // namespace tesmar
