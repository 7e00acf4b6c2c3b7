#pragma once

#include <ostream>

namespace tesmar {

class MessageTable;
class UsbSession;

// Identity, firmware version, the four calibration pairs in effect, instrument type and number.
// Returns the exit code: 0, or 2 without an instrument, 3 when it runs its boot loader.
int RunDeviceInfoCommand(UsbSession& session, const MessageTable& messages, std::ostream& out, std::ostream& err);

} // namespace tesmar
