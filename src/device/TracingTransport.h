#pragma once
// Wraps a transport and writes every transfer to a text stream: the diagnostic users need when a
// device misbehaves. One line per transfer, written whole even when reader threads interleave.

#include "UsbTransport.h"

#include <mutex>
#include <ostream>

namespace tesmar {

class TracingTransport final : public UsbTransport {
public:
    TracingTransport(UsbTransport& inner, std::ostream& out) : inner_(inner), out_(out) {}

    UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) override;
    void uninit() override;
    UsbStatus setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting) override;
    UsbStatus controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                         std::size_t length, std::size_t& transferred, int timeoutMs) override;
    UsbStatus bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                     std::size_t& transferred, int timeoutMs) override;
    void halt(UsbDeviceHandle device, std::uint8_t pipe) override;
    UsbStatus reset(UsbDeviceHandle device) override;

private:
    void line(const std::string& text);

    UsbTransport& inner_;
    std::ostream& out_;
    std::mutex mutex_;
};

// "0A FF 00" for the bytes given.
std::string HexBytes(const std::uint8_t* data, std::size_t length);

} // namespace tesmar
