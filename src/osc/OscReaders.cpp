#include "OscReaders.h"

#include "OscLiveRecord.h"
#include "OscStreamRecorder.h"
#include "device/Commands.h"
#include "device/UsbSession.h"

#include <chrono>

namespace tesmar {

namespace {

SetupPacket StartPacket(const OscAcquisitionParams& params)
{
    SetupPacket setup;
    setup.bRequest = CmdStartAnalog;
    setup.wValue = params.wValue;
    setup.wIndex = params.wIndex;
    return setup;
}

} // namespace

bool ReadOscBufferFrame(UsbSession& session, const OscAcquisitionParams& params, OscFrame& frame,
                        const std::atomic<bool>& stop)
{
    // A record that was never started would be waited for without end.
    if (session.WriteCommandPacket(StartPacket(params), params.block.bytes.data(), 12) != 12)
        return false;
    session.pause(20);

    UsbStatus status = usb_status::Error;
    std::uint32_t first = 0;
    while (!stop) {
        first = session.readPipe(frame.data(), 512, kOscFirstPartTimeoutMs, status);
        if (status == usb_status::Success)
            break;
        if (!session.isAttached())
            return false; // unplugged: nothing will come
    }
    if (stop)
        return false;

    // A part that arrives short leaves old bytes in the frame: that record is not drawn.
    bool ok = first == 512;
    const struct {
        std::uint16_t part;
        std::size_t offset, length;
    } parts[] = {{1, 512, 512}, {2, 1024, 388}};
    for (const auto& p : parts) {
        SetupPacket request;
        request.bRequest = CmdReadPart;
        request.wValue = p.part;
        request.wIndex = 0;
        session.writeCommandWith(request, nullptr, 0, kOscPartTimeoutMs, status);
        ok = ok && status == usb_status::Success;
        const std::uint32_t got =
            session.readPipe(frame.data() + p.offset, static_cast<std::uint32_t>(p.length), kOscPartTimeoutMs, status);
        ok = ok && status == usb_status::Success && got == p.length;
    }
    return ok && !stop;
}

bool ReadOscStream(UsbSession& session, const OscAcquisitionParams& params, OscResult& result,
                   const std::atomic<bool>& stop, OscLiveRecord* live)
{
    OscStreamRecorder recorder(params, result);
    session.WriteCommandPacket(StartPacket(params), params.block.bytes.data(), 12);
    std::uint8_t buffer[512];
    // The reader's own buffer for the hand-over; it changes hands only by swapping.
    OscResult snapshot;
    using Clock = std::chrono::steady_clock;
    auto lastOffer = Clock::now();
    while (!stop && !recorder.full()) {
        UsbStatus status = usb_status::Error;
        const std::uint32_t count = session.readPipe(buffer, sizeof buffer, kOscStreamTimeoutMs, status);
        if (status != usb_status::Success)
            break;
        recorder.feed(buffer, count);
        if (live && Clock::now() - lastOffer >= std::chrono::milliseconds(kOscLiveIntervalMs)) {
            recorder.snapshot(snapshot);
            if (live->offer(snapshot))
                lastOffer = Clock::now();
        }
    }
    if (live) {
        // What was recorded up to a stop stays on the screen: this last one is always handed over.
        recorder.snapshot(snapshot);
        live->offer(snapshot, true);
    }
    session.DeviceReset();
    recorder.finish();
    return result.DataReady;
}

} // namespace tesmar
