#include "RecorderReader.h"

#include "device/Commands.h"
#include "device/UsbSession.h"

namespace tesmar {

void ReadRecorderStream(UsbSession& session, const RecorderBlock& block, RecorderStream& stream,
                        const std::atomic<bool>& stop, const std::function<void()>& onRead)
{
    if (!stream.prepare()) {
        session.DeviceReset();
        return;
    }
    session.pause(kRecorderStartPauseMs);
    if (!stop) {
        SetupPacket setup;
        setup.bRequest = block.bRequest;
        setup.wValue = block.wValue;
        UsbStatus status = usb_status::Error;
        session.writeCommandWith(setup, block.block.bytes.data(), 12, session.settings().writeTimeoutMs, status);
        if (status != usb_status::Success)
            stream.readFailed(stop);
    }
    std::uint8_t buffer[kRecorderReadLength];
    while (!stop && !stream.ended()) {
        UsbStatus status = usb_status::Error;
        const std::uint32_t got = session.readPipe(buffer, sizeof buffer, kRecorderReadTimeoutMs, status);
        if (status != usb_status::Success) {
            stream.readFailed(stop);
            break;
        }
        stream.feed(buffer, got);
        stream.publish();
        if (onRead)
            onRead();
    }
    stream.publish();
    session.DeviceReset();
}

} // namespace tesmar
