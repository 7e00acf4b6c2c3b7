#pragma once
// What the program needs of a USB access layer: attach/detach notification for the instrument,
// interface selection, control OUT on pipe 0 with a setup packet, bulk IN on pipe 0x83 with a
// time-out, halting a pending transfer from another thread, and device reset. The real
// instrument (libusb) and the virtual instrument both stand behind it.

#include "UsbStatus.h"
#include "SetupPacket.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tesmar {

// Opaque device handle; 0 means no device.
using UsbDeviceHandle = std::uintptr_t;

inline constexpr std::uint16_t kVendorId = 0x10C4;
inline constexpr std::uint16_t kProductId = 0xEA67;
inline constexpr std::uint8_t kControlPipe = 0x00;
inline constexpr std::uint8_t kDataPipe = 0x83;

class UsbTransport {
public:
    // Called on a thread of the transport. The attach callback returns false to refuse a device.
    using AttachCallback = std::function<bool(UsbDeviceHandle)>;
    using DetachCallback = std::function<void(UsbDeviceHandle)>;

    virtual ~UsbTransport() = default;

    // Starts watching for the instrument; the attach callback is called for one already present
    // (possibly before init returns). Returns a status.
    virtual UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) = 0;
    // Stops watching; no callback is called after it returns.
    virtual void uninit() = 0;

    virtual UsbStatus setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting) = 0;
    // Control OUT on pipe 0 with `setup` and `length` bytes of `data`.
    virtual UsbStatus controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                                 std::size_t length, std::size_t& transferred, int timeoutMs) = 0;
    // One bulk IN transfer of up to `length` bytes; a halt from another thread ends it.
    virtual UsbStatus bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                             std::size_t& transferred, int timeoutMs) = 0;
    // Ends a pending transfer on `pipe` (0 or 0x83).
    virtual void halt(UsbDeviceHandle device, std::uint8_t pipe) = 0;
    virtual UsbStatus reset(UsbDeviceHandle device) = 0;
};

} // namespace tesmar
