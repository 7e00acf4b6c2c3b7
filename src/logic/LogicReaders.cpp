#include "LogicReaders.h"

#include "device/Commands.h"
#include "device/UsbSession.h"

#include <new>

namespace tesmar {

namespace {

// False when the start block did not reach the instrument.
bool SendBlock(UsbSession& session, const LogicBlockResult& block)
{
    if (!SendCommands(session, block.generatorUpload))
        return false;
    SetupPacket setup;
    setup.bRequest = CmdStartLogic;
    setup.wValue = block.wValue.value_or(0);
    setup.wIndex = block.wIndex.value_or(0);
    const auto length = static_cast<std::uint16_t>(block.block.bytes.size());
    return session.WriteCommandPacket(setup, block.block.bytes.data(), length) == length;
}

} // namespace

std::optional<std::vector<std::uint8_t>> FinishLogicStream(LogicStreamResult&& r, std::int64_t pre, bool busAInverse)
{
    if (r.status == LogicStreamStatus::OutOfMemory || (pre > 0 && !r.triggered))
        return std::nullopt;
    std::vector<std::uint8_t> busA = std::move(r.capture);
    if (r.triggered)
        RotateLogicRing(busA, pre, r.ringPosition);
    busA.resize(static_cast<std::size_t>(std::min<std::int64_t>(r.stored, static_cast<std::int64_t>(busA.size()))));
    if (busAInverse)
        ReverseBits(busA);
    return busA;
}

LogicBufferLayout BufferLayoutOf(const LogicBlockInput& in, const LogicBlockResult& block, int modePreTrigger)
{
    LogicBufferLayout l;
    l.rateCode = block.captureMode;
    l.sixteenLines = in.busBAnalyser;
    l.triggerOn = in.triggerOn;
    l.pulseSkip = in.triggerOn && (in.skipRising || in.skipFalling) && in.skipCount > 0;
    l.generator = in.busBGenerator;
    l.preTriggerByte = block.block.bytes[7];
    l.preTrigger = modePreTrigger;
    l.busAInverse = in.busAInverse;
    return l;
}

LogicStreamTrigger StreamTriggerOf(const LogicBlock& block)
{
    const auto& b = block.bytes;
    LogicStreamTrigger t;
    t.mask = (b[2] & 0x40) != 0;
    t.rising = (b[2] & 0x20) != 0;
    t.value = b[5];
    t.care = b[6];
    return t;
}

bool ReadLogicBuffer(UsbSession& session, const LogicBlockResult& block, LogicBufferFrame& frame,
                     const std::atomic<bool>& stop)
{
    // A capture that was never started would be waited for without end.
    if (!SendBlock(session, block))
        return false;
    session.pause(20);
    UsbStatus status = usb_status::Error;
    const bool tiny = block.captureMode <= 2;
    std::uint8_t* first = tiny ? frame.head.data() : frame.body.data();
    const std::uint32_t firstLength = tiny ? 128 : 512;
    std::uint32_t got = 0;
    while (!stop) {
        got = session.readPipe(first, firstLength, kLogicFirstReadTimeoutMs, status);
        if (status == usb_status::Success)
            break;
        if (!session.isAttached())
            return false; // unplugged: nothing will come
    }
    if (stop)
        return false;
    bool ok = got == firstLength;
    if (tiny)
        return ok;
    std::uint8_t part1[512], part2[388];
    const struct {
        std::uint16_t part;
        std::uint8_t* target;
        std::uint32_t length;
    } parts[] = {{1, part1, 512}, {2, part2, 388}, {3, frame.head.data(), kLogicHeadBytes}};
    for (const auto& p : parts) {
        SetupPacket request;
        request.bRequest = CmdReadPart;
        request.wValue = p.part;
        session.writeCommandWith(request, nullptr, 0, kLogicPartTimeoutMs, status);
        ok = ok && status == usb_status::Success;
        const std::uint32_t n = session.readPipe(p.target, p.length, kLogicPartTimeoutMs, status);
        ok = ok && status == usb_status::Success && n == p.length;
    }
    std::copy(part1, part1 + 512, frame.body.begin() + 512);
    std::copy(part2, part2 + 384, frame.body.begin() + 1024);
    return ok && !stop;
}

LogicStreamResult ReadLogicStream(UsbSession& session, const LogicBlockResult& block, std::int64_t depth,
                                  std::int64_t preTrigger, const std::atomic<bool>& stop,
                                  const std::function<void(std::int64_t)>& progress)
{
    LogicStreamResult result;
    try {
        result.capture.resize(static_cast<std::size_t>(depth));
    } catch (const std::bad_alloc&) {
        result.status = LogicStreamStatus::OutOfMemory;
        result.capture = {};
        return result;
    } catch (const std::length_error&) {
        result.status = LogicStreamStatus::OutOfMemory;
        return result;
    }
    LogicStreamRecorder recorder(result.capture, preTrigger, StreamTriggerOf(block.block));
    session.pause(100);
    SendBlock(session, block);
    std::uint8_t buffer[512];
    while (!recorder.full()) {
        if (stop) {
            result.status = LogicStreamStatus::Stopped;
            break;
        }
        UsbStatus status = usb_status::Error;
        const std::uint32_t count = session.readPipe(buffer, sizeof buffer, kLogicStreamTimeoutMs, status);
        if (status != usb_status::Success) {
            result.status = stop ? LogicStreamStatus::Stopped : LogicStreamStatus::ReadError;
            break;
        }
        recorder.feed({buffer, count});
        if (progress)
            progress(recorder.stored());
    }
    session.DeviceReset();
    result.stored = recorder.stored();
    result.triggered = recorder.triggered();
    result.ringPosition = recorder.ringPosition();
    return result;
}

} // namespace tesmar
