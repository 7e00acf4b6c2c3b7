#pragma once
// Transfer status codes. The values are those of the USB library the program was first written
// for; every transport maps its own results onto them so that the texts stay meaningful.

#include <cstdint>
#include <string>

namespace tesmar {

using UsbStatus = std::uint32_t;

namespace usb_status {
inline constexpr UsbStatus Success = 0;
inline constexpr UsbStatus Error = 0x20000000;
inline constexpr UsbStatus DataMismatch = 0x20000008;
inline constexpr UsbStatus DeviceNotFound = 0x2000000F;
inline constexpr UsbStatus TimeOut = 0x20000015;
inline constexpr UsbStatus Cancelled = 0x20000016;
inline constexpr UsbStatus InvalidParameter = 0x2000001B;
inline constexpr UsbStatus UsbdError = 0x80000000;
inline constexpr UsbStatus PidStall = 0xC0000004;
inline constexpr UsbStatus BufferOverrun = 0xC000000C;
} // namespace usb_status

// The description of a status; "Unrecognized error code" for any code without one.
std::string StatusToText(UsbStatus status);

} // namespace tesmar
