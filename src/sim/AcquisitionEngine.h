#pragma once
// A measurement behaviour of the virtual instrument (analogue buffer or stream, logic capture):
// started by a command, it supplies the bytes the host reads from the data pipe.

#include "device/SetupPacket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesmar {

class InstrumentState;

class AcquisitionEngine {
public:
    virtual ~AcquisitionEngine() = default;

    // Whether this engine answers the command (start or part request).
    virtual bool handles(std::uint8_t command) const = 0;
    // A command for this engine arrived with its data stage.
    virtual void onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data, InstrumentState& state) = 0;
    // Up to `length` bytes ready now at instrument time `nowUs`; an empty result means nothing yet.
    virtual std::vector<std::uint8_t> produce(std::size_t length, std::int64_t nowUs) = 0;
    // The device was reset: the measurement ends.
    virtual void stop() = 0;
};

} // namespace tesmar
