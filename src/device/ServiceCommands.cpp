#include "ServiceCommands.h"

#include <cmath>

namespace tesmar {

CommandSequence CalibrationWriteSequence(const CalibrationRecord& record)
{
    CommandSequence seq;
    for (int offset = 0; offset < static_cast<int>(kCalibrationRecordSize); offset += 64) {
        seq.push_back(DeviceCommand{CmdWriteMemory, 1, static_cast<std::uint16_t>(offset),
                                    std::vector<std::uint8_t>(record.bytes.begin() + offset,
                                                              record.bytes.begin() + offset + 64),
                                    25});
    }
    seq.push_back(DeviceCommand{CmdStoreCalibration, {}, {}, {}, 100});
    return seq;
}

std::uint8_t I2CAddressByte(const I2CTransferInput& in)
{
    int address = (in.address7 & 0x7F) << 1;
    if (in.master && !in.write)
        address += 1;
    else if (!in.master && in.write && address != 0)
        address += 1;
    return static_cast<std::uint8_t>(address);
}

CommandSequence I2CTransferSequence(const I2CTransferInput& in, const GeneratorImage& buffer)
{
    CommandSequence seq;
    if (in.write) {
        for (int i = 0;; ++i) {
            const int from = 136 + i * 64;
            seq.push_back(DeviceCommand{CmdWriteMemory, 1, static_cast<std::uint16_t>(i * 64),
                                        std::vector<std::uint8_t>(buffer.begin() + from, buffer.begin() + from + 64),
                                        25});
            if (i * 64 >= in.byteCount || i == 15)
                break;
        }
    }
    const long long reload = -std::llrint(24'000'000.0 / (in.kbitPerSecond * 3000.0));
    const int low = static_cast<int>(static_cast<unsigned long long>(reload) & 0xFF);
    std::uint8_t flags = 0;
    if (in.write)
        flags |= 0x40;
    if (in.master)
        flags |= 0x80;
    seq.push_back(DeviceCommand{CmdI2CTransfer, static_cast<std::uint16_t>(in.byteCount),
                                static_cast<std::uint16_t>(I2CAddressByte(in) * 256 + low),
                                {flags}, 20});
    return seq;
}

} // namespace tesmar
