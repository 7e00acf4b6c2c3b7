#include "I2cEngine.h"

#include "InstrumentState.h"
#include "device/Commands.h"

#include <algorithm>

namespace tesmar {

bool I2cEngine::handles(std::uint8_t command) const {
    return command == CmdI2CTransfer || (command == CmdReadPart && active_);
}

void I2cEngine::onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data,
                          InstrumentState& state) {
    if (setup.bRequest == CmdReadPart) {
        if (setup.wValue <= 1)
            part_ = setup.wValue;
        return;
    }
    startTransfer(setup, data.empty() ? 0 : data[0], state);
}

void I2cEngine::startTransfer(const SetupPacket& setup, std::uint8_t mode, const InstrumentState& state) {
    active_ = true;
    part_.reset();
    received_.fill(0);
    const bool write = mode & 0x40;
    const bool master = mode & 0x80;
    const std::size_t count = std::min<std::size_t>(setup.wValue, received_.size());
    const std::uint8_t address = static_cast<std::uint8_t>(setup.wIndex >> 9);
    // The low byte of wIndex is the negated bit-rate reload: 24 MHz / (kbit/s × 3000) counts, so
    // one bit takes reload / 8 µs.
    const int reload = 256 - (setup.wIndex & 0xFF);
    const double bitUs = reload / 8.0;
    std::vector<std::uint8_t> in;
    std::size_t moved = 0;
    std::int64_t startUs = clock_.nowUs();
    if (master) {
        moved = write ? bus_.masterWrite(address, state.space1.data(), count)
                      : bus_.masterRead(address, count, in);
    } else if (I2cBus::addressedAsSlave(address)) {
        startUs += kMasterDelayUs;
        moved = write ? bus_.slaveTransmit(state.space1.data(), count) : bus_.slaveReceive(count, in);
    } else {
        answerAtUs_.reset(); // nobody addresses the instrument: it waits until reset
        return;
    }
    std::copy(in.begin(), in.end(), received_.begin());
    notTransferred_ = static_cast<std::uint16_t>(setup.wValue - moved);
    const double bits = 9.0 * static_cast<double>(1 + (moved > 0 ? moved : 0));
    answerAtUs_ = clockHeld_ ? std::nullopt
                             : std::optional<std::int64_t>(startUs + static_cast<std::int64_t>(bits * bitUs));
}

std::vector<std::uint8_t> I2cEngine::produce(std::size_t /*length*/, std::int64_t nowUs) {
    if (part_) {
        const auto from = received_.begin() + *part_ * 512;
        part_.reset();
        return {from, from + 512};
    }
    if (answerAtUs_ && nowUs >= *answerAtUs_) {
        answerAtUs_.reset();
        return {static_cast<std::uint8_t>(notTransferred_ & 0xFF),
                static_cast<std::uint8_t>(notTransferred_ >> 8)};
    }
    return {};
}

void I2cEngine::stop() {
    active_ = false;
    answerAtUs_.reset();
    part_.reset();
}

} // namespace tesmar
