#pragma once
// Multi-command sequences of the service functions: storing the calibration record and one I2C
// transfer of the terminal.

#include "Calibration.h"
#include "Commands.h"
#include "LogicBlock.h"

#include <cstdint>

namespace tesmar {

// Command 8 in 64-byte chunks into memory space 1, then command 12 to store the record.
CommandSequence CalibrationWriteSequence(const CalibrationRecord& record);

struct I2CTransferInput {
    int byteCount = 16;              // 1 … 1024
    std::uint8_t address7 = 0;       // 7-bit address
    bool master = true;              // the instrument is bus master
    bool write = true;               // write direction (clear: read)
    int kbitPerSecond = 100;         // 50 … 400
};

// The address byte: the address shifted left by one; as master a read adds 1, as slave a write
// adds 1 unless the shifted address is 0.
std::uint8_t I2CAddressByte(const I2CTransferInput& input);

// For a write, the data to send (bytes 136 … of `buffer`) goes out first in 64-byte chunks;
// then command 14 starts the transfer.
CommandSequence I2CTransferSequence(const I2CTransferInput& input, const GeneratorImage& buffer);

} // namespace tesmar
