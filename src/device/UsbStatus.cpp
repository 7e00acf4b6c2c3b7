#include "UsbStatus.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tesmar {

namespace {

// Texts as the instrument's users have always seen them, misspellings included.
constexpr std::array<std::pair<UsbStatus, const char*>, 64> kStatusTexts{{
    {0x00000000, "Success"},
    {0xFFFFFFFF, "Invalid WinDriver handle"},
    {0x20000000, "Error"},
    {0x20000001, "Invalid handle"},
    {0x20000002, "Invalid pipe number"},
    {0x20000003, "Conflict between read and write operations"},
    {0x20000004, "Packet size is zero"},
    {0x20000005, "Insufficient resources"},
    {0x20000006, "Unknown pipe type"},
    {0x20000007, "Intenal system error"},
    {0x20000008, "Data mismatch"},
    {0x2000000A, "Function not implemented"},
    {0x2000000B, "KernelPlugin failure"},
    {0x2000000C, "Failed enabling interrupt"},
    {0x2000000D, "Interrupt not enabled"},
    {0x2000000E, "Resource overlap"},
    {0x2000000F, "Device not found"},
    {0x20000010, "Wrong unique ID"},
    {0x20000011, "Operation already done"},
    {0x20000012, "Interface descriptor error"},
    {0x20000013, "Set configuration operation failed"},
    {0x20000014, "Cannot obtain PDO"},
    {0x20000015, "TimeOut expired"},
    {0x20000016, "IRP operation cancelled"},
    {0x20000017, "Failed to map in user space"},
    {0x20000018, "Failed to map in kernel space"},
    {0x20000019, "No resources on the device"},
    {0x2000001A, "No events"},
    {0x2000001B, "Invalid parameter"},
    {0x2000001C, "Incorrect version"},
    {0x2000001D, "Try again"},
    {0x2000001E, "Failed open WinDriver"},
    {0x40000000, "USBD: Operation pending"},
    {0x80000000, "USBD: Error"},
    {0x80000100, "USBD: Out of memory"},
    {0x80000200, "USBD: Invalid URB function"},
    {0x80000300, "USBD: Invalid parameter"},
    {0x80000400, "USBD: Attempted to close enpoint/interface/configuration with outstanding transfer"},
    {0x80000500, "USBD: URB request failed"},
    {0x80000600, "USBD: Invalid pipe handle"},
    {0x80000700, "USBD: Not enough bandwidth for endpoint"},
    {0x80000800, "USBD: Host controller error"},
    {0x80000900, "USBD: Trasnfer terminated with short packet"},
    {0xC0000000, "USBD: Halted"},
    {0xC0000001, "HC status: CRC"},
    {0xC0000002, "HC status: Bit stuffing "},
    {0xC0000003, "HC status: Data toggle mismatch"},
    {0xC0000004, "HC status: PID stall"},
    {0xC0000005, "HC status: Device not responding"},
    {0xC0000006, "HC status: PID check failed"},
    {0xC0000007, "HC status: Unexpected PID"},
    {0xC0000008, "HC status: Data overrun"},
    {0xC0000009, "HC status: Data underrun"},
    {0xC000000A, "HC status: Reserved1"},
    {0xC000000B, "HC status: Reserved2"},
    {0xC000000C, "HC status: Buffer overrun"},
    {0xC000000D, "HC status: Buffer Underrun"},
    {0xC000000F, "HC status: Not accessed"},
    {0xC0000010, "HC status: Fifo"},
    {0xC0000030, "HCD: Trasnfer submitted to stalled endpoint"},
    {0xC0000A00, "USBD: Start frame outside range"},
    {0xC0000B00, "HCD: Isochronous transfer completed with error"},
    {0xC0000C00, "USBD: Frame length control already taken"},
    {0xC0000D00, "USBD: Attemped operation on frame length control not owned by caller"},
}};

} // namespace

std::string StatusToText(UsbStatus status)
{
    const auto it = std::find_if(kStatusTexts.begin(), kStatusTexts.end(),
                                 [status](const auto& entry) { return entry.first == status; });
    return it != kStatusTexts.end() ? it->second : "Unrecognized error code";
}

} // namespace tesmar
