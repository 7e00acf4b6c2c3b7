#pragma once
// The instrument's vendor commands (bRequest codes) and a small record for one command with its
// parameters, so that command sequences can be built as data and sent by one routine.

#include <cstdint>
#include <optional>
#include <vector>

namespace tesmar {

class UsbSession;

enum Command : std::uint8_t {
    CmdGetId = 0,
    CmdLedOn = 1,
    CmdLedOff = 2,
    CmdSwitchFirmware = 3,
    CmdBootWriteChunk = 4,   // boot loader meaning of 4
    CmdStartAnalog = 5,
    CmdBootProgramBlock = 5, // boot loader meaning of 5
    CmdReadPart = 6,
    CmdBootBegin = 6,        // boot loader meaning of 6
    CmdStartLogic = 7,
    CmdWriteMemory = 8,
    CmdReleaseOutputs = 9,
    CmdGetVersion = 10,
    CmdReadCalibration = 11,
    CmdStoreCalibration = 12,
    CmdI2CTransfer = 14,
};

inline constexpr std::uint8_t kIdMainApplication = 0xAA;
inline constexpr std::uint8_t kIdBootLoader = 0x55;

// One vendor command: the fields it sets in the setup packet (the others keep their values),
// its data stage, and the pause the instrument needs after it.
struct DeviceCommand {
    std::uint8_t code = 0;
    std::optional<std::uint16_t> wValue;
    std::optional<std::uint16_t> wIndex;
    std::vector<std::uint8_t> data;
    int pauseAfterMs = 0;

    bool operator==(const DeviceCommand&) const = default;
};

using CommandSequence = std::vector<DeviceCommand>;

// Sets the command's fields in the session's setup packet, writes it and pauses. False when its
// data stage was not written whole (a command without data cannot tell).
bool SendCommand(UsbSession& session, const DeviceCommand& command);
// Stops at the first command that fails: what follows it would act on what did not arrive.
bool SendCommands(UsbSession& session, const CommandSequence& commands);

// A command without data or parameters, then an optional read of `answerLength` bytes after
// `pauseMs`; returns the bytes read (shorter when the read delivered less).
std::vector<std::uint8_t> QueryDevice(UsbSession& session, std::uint8_t code, int pauseMs, std::uint32_t answerLength);

} // namespace tesmar
