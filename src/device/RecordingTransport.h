#pragma once
// Wraps a transport and writes every event in both directions to a session record: what the
// program sent, what the instrument answered, with the statuses and times. The transfers
// themselves pass through untouched, also when the record can no longer be written.

#include "UsbRecordWriter.h"
#include "UsbTransport.h"

#include <map>
#include <mutex>

namespace tesmar {

class RecordingTransport final : public UsbTransport {
public:
    RecordingTransport(UsbTransport& inner, UsbRecordWriter& writer) : inner_(inner), writer_(writer) {}

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
    // Small numbers instead of the transport's handles, which mean nothing in another run.
    unsigned deviceNumber(UsbDeviceHandle device);
    UsbRecordEntry entry(UsbEventKind kind, double started) const;

    UsbTransport& inner_;
    UsbRecordWriter& writer_;
    std::mutex devicesMutex_;
    std::map<UsbDeviceHandle, unsigned> devices_;
};

} // namespace tesmar
