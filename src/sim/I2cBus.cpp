#include "I2cBus.h"

#include <algorithm>
#include <string>

namespace tesmar {

std::array<std::uint8_t, I2cBus::kEepromSize> I2cBus::Erased() {
    std::array<std::uint8_t, kEepromSize> memory{};
    memory.fill(0xFF);
    return memory;
}

std::size_t I2cBus::masterWrite(std::uint8_t address, const std::uint8_t* data, std::size_t count) {
    if (address != kEepromAddress)
        return 0;
    if (count == 0)
        return 0;
    pointer_ = data[0];
    const std::size_t pageStart = pointer_ - pointer_ % kEepromPage;
    std::size_t offset = pointer_ % kEepromPage;
    for (std::size_t i = 1; i < count; ++i) {
        eeprom_[pageStart + offset] = data[i];
        offset = (offset + 1) % kEepromPage;
    }
    pointer_ = static_cast<std::uint8_t>(pageStart + offset);
    return count;
}

std::size_t I2cBus::masterRead(std::uint8_t address, std::size_t count, std::vector<std::uint8_t>& out) {
    out.clear();
    if (address != kEepromAddress)
        return 0;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(eeprom_[pointer_++]); // the 8-bit pointer wraps at the end of the memory
    return count;
}

bool I2cBus::addressedAsSlave(std::uint8_t ownAddress) {
    return ownAddress == 0 || ownAddress == kMasterTarget;
}

std::size_t I2cBus::slaveReceive(std::size_t count, std::vector<std::uint8_t>& out) {
    const std::string line = "Message " + std::to_string(++messages_) + " from the I2C master\r\n";
    // The instrument stops acknowledging once its count is full.
    const std::size_t n = std::min(count, line.size());
    out.assign(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t I2cBus::slaveTransmit(const std::uint8_t* data, std::size_t count) {
    const std::size_t n = std::min(count, kMasterReadLimit);
    masterReceived_.assign(data, data + n);
    return n;
}

} // namespace tesmar
