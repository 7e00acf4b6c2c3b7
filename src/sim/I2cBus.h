#pragma once
// The I2C bus behind the virtual instrument's terminal command: an EEPROM-like memory that the
// instrument talks to as master, and a simulated master that talks to the instrument as slave.
//
// EEPROM (address 1010000 = 0x50): 256 bytes, erased to 0xFF, 16-byte pages. A write's first
// byte is the word address, the following bytes are stored from there on, wrapping within the
// page as a real EEPROM does; a read returns bytes from the current address on, wrapping at the
// end of the memory. Every write leaves the address after its last byte, so a read from a chosen
// address is a write of that one byte followed by the read. Any other address is not
// acknowledged: nothing is transferred.
//
// Master (it addresses 1000010 = 0x42): when the instrument waits as slave receiver, the master
// writes one line of text, "Message N from the I2C master\r\n" (N counts the messages); when the
// instrument waits as slave transmitter, the master reads up to 32 bytes. The instrument takes
// part when its own address is 0x42 or 0 (any address); otherwise the master never addresses
// it and the instrument waits until it is reset.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tesmar {

class I2cBus {
  public:
    static constexpr std::uint8_t kEepromAddress = 0x50;
    static constexpr std::size_t kEepromSize = 256;
    static constexpr std::size_t kEepromPage = 16;
    static constexpr std::uint8_t kMasterTarget = 0x42;
    static constexpr std::size_t kMasterReadLimit = 32;

    // The instrument as master: bytes acknowledged (0 when no slave answers the address).
    std::size_t masterWrite(std::uint8_t address, const std::uint8_t* data, std::size_t count);
    // The instrument as master reading `count` bytes into `out`: bytes transferred.
    std::size_t masterRead(std::uint8_t address, std::size_t count, std::vector<std::uint8_t>& out);

    // Whether the simulated master addresses an instrument with this own address.
    static bool addressedAsSlave(std::uint8_t ownAddress);
    // The instrument as slave receiver of at most `count` bytes: what the master wrote.
    std::size_t slaveReceive(std::size_t count, std::vector<std::uint8_t>& out);
    // The instrument as slave transmitter offering `count` bytes: how many the master read.
    std::size_t slaveTransmit(const std::uint8_t* data, std::size_t count);

    const std::array<std::uint8_t, kEepromSize>& eeprom() const { return eeprom_; }
    std::uint8_t eepromPointer() const { return pointer_; }
    // The bytes the simulated master last read from the instrument.
    const std::vector<std::uint8_t>& masterReceived() const { return masterReceived_; }

  private:
    std::array<std::uint8_t, kEepromSize> eeprom_ = Erased();
    std::uint8_t pointer_ = 0;
    std::vector<std::uint8_t> masterReceived_;
    int messages_ = 0;

    static std::array<std::uint8_t, kEepromSize> Erased();
};

} // namespace tesmar
