#pragma once
// The real instrument through libusb: hot-plug (or, where the system offers none, polling about
// once a second), interface 0, vendor control OUT, bulk IN on 0x83 as an asynchronous transfer
// that a halt from another thread cancels, and reset.

#include "device/UsbTransport.h"

#include <memory>

namespace tesmar {

class LibUsbTransport final : public UsbTransport {
public:
    LibUsbTransport();
    ~LibUsbTransport() override;

    UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) override;
    void uninit() override;
    UsbStatus setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting) override;
    UsbStatus controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                         std::size_t length, std::size_t& transferred, int timeoutMs) override;
    UsbStatus bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                     std::size_t& transferred, int timeoutMs) override;
    void halt(UsbDeviceHandle device, std::uint8_t pipe) override;
    UsbStatus reset(UsbDeviceHandle device) override;

    // Whether an instrument is plugged in now (no session needed).
    static bool instrumentPresent();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tesmar
