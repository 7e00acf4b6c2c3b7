#include "RecordingTransport.h"

#include <algorithm>

namespace tesmar {

unsigned RecordingTransport::deviceNumber(UsbDeviceHandle device)
{
    std::lock_guard lock(devicesMutex_);
    return devices_.emplace(device, static_cast<unsigned>(devices_.size() + 1)).first->second;
}

UsbRecordEntry RecordingTransport::entry(UsbEventKind kind, double started) const
{
    UsbRecordEntry e;
    e.kind = kind;
    e.timeMs = started;
    return e;
}

UsbStatus RecordingTransport::init(AttachCallback onAttach, DetachCallback onDetach)
{
    return inner_.init(
        [this, onAttach](UsbDeviceHandle d) {
            // Before the callback: its interface selection belongs after the attach.
            UsbRecordEntry e = entry(UsbEventKind::Attach, writer_.now());
            e.device = deviceNumber(d);
            writer_.write(e);
            return onAttach && onAttach(d);
        },
        [this, onDetach](UsbDeviceHandle d) {
            UsbRecordEntry e = entry(UsbEventKind::Detach, writer_.now());
            e.device = deviceNumber(d);
            writer_.write(e);
            if (onDetach)
                onDetach(d);
        });
}

void RecordingTransport::uninit()
{
    inner_.uninit();
}

UsbStatus RecordingTransport::setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting)
{
    UsbRecordEntry e = entry(UsbEventKind::SetInterface, writer_.now());
    e.status = inner_.setInterface(device, interfaceNumber, alternateSetting);
    e.interfaceNumber = interfaceNumber;
    e.alternateSetting = alternateSetting;
    writer_.write(e);
    return e.status;
}

UsbStatus RecordingTransport::controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                                         std::size_t length, std::size_t& transferred, int timeoutMs)
{
    UsbRecordEntry e = entry(UsbEventKind::ControlOut, writer_.now());
    e.setup = setup;
    e.setup.wLength = static_cast<std::uint16_t>(length);
    if (data)
        e.data.assign(data, data + length);
    e.timeoutMs = timeoutMs;
    e.status = inner_.controlOut(device, setup, data, length, transferred, timeoutMs);
    e.transferred = transferred;
    e.tookMs = writer_.now() - e.timeMs;
    writer_.write(e);
    return e.status;
}

UsbStatus RecordingTransport::bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer,
                                     std::size_t length, std::size_t& transferred, int timeoutMs)
{
    UsbRecordEntry e = entry(UsbEventKind::BulkIn, writer_.now());
    e.status = inner_.bulkIn(device, pipe, buffer, length, transferred, timeoutMs);
    e.pipe = pipe;
    e.requested = length;
    e.timeoutMs = timeoutMs;
    e.data.assign(buffer, buffer + std::min(transferred, length));
    e.tookMs = writer_.now() - e.timeMs;
    writer_.write(e);
    return e.status;
}

void RecordingTransport::halt(UsbDeviceHandle device, std::uint8_t pipe)
{
    UsbRecordEntry e = entry(UsbEventKind::Halt, writer_.now());
    e.pipe = pipe;
    writer_.write(e);
    inner_.halt(device, pipe);
}

UsbStatus RecordingTransport::reset(UsbDeviceHandle device)
{
    UsbRecordEntry e = entry(UsbEventKind::Reset, writer_.now());
    e.status = inner_.reset(device);
    e.tookMs = writer_.now() - e.timeMs;
    writer_.write(e);
    return e.status;
}

} // namespace tesmar
