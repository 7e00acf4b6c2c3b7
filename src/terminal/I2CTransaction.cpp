#include "I2CTransaction.h"

#include "device/UsbSession.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

constexpr int kReplyPart = 512;
constexpr int kPartPauseMs = 50;
constexpr int kRetryPauseMs = 10; // after a read that ended at once without the answer

I2CTransactionResult Ended(I2COutcome outcome, UsbStatus status = usb_status::Success) {
    I2CTransactionResult result;
    result.outcome = outcome;
    result.status = status;
    return result;
}

I2COutcome FailureOf(UsbStatus status, const UsbSession& session) {
    return status == usb_status::DeviceNotFound || !session.isAttached() ? I2COutcome::NoDevice
                                                                         : I2COutcome::Failed;
}

// Sends one command on the worker's own copy of the setup packet; false when it did not go out.
bool Send(UsbSession& session, SetupPacket& setup, const DeviceCommand& command, UsbStatus& status) {
    setup.bRequest = command.code;
    if (command.wValue)
        setup.wValue = *command.wValue;
    if (command.wIndex)
        setup.wIndex = *command.wIndex;
    const auto length = static_cast<std::uint16_t>(command.data.size());
    const std::uint32_t sent =
        session.writeCommandWith(setup, command.data.empty() ? nullptr : command.data.data(), length,
                                 session.settings().writeTimeoutMs, status);
    if (status != usb_status::Success || sent != length)
        return false;
    session.pause(command.pauseAfterMs);
    return true;
}

// Command 6 for `part`, then the part's bytes into `reply`; `needed` of them must arrive.
bool FetchPart(UsbSession& session, SetupPacket& setup, int part, int needed, TerminalBuffer& reply,
               UsbStatus& status) {
    if (!Send(session, setup,
              DeviceCommand{CmdReadPart, static_cast<std::uint16_t>(part), {}, {}, kPartPauseMs}, status))
        return false;
    const std::uint32_t got = session.readPipe(reply.data() + part * kReplyPart, kReplyPart,
                                               session.settings().readTimeoutMs, status);
    return static_cast<int>(got) >= needed;
}

} // namespace

std::optional<int> I2CNoAnswerLimitMs(const I2CTransferInput& transfer) {
    if (!transfer.master)
        return std::nullopt;
    const int speed = std::max(transfer.kbitPerSecond, 1);
    const double bitsOnBus = (transfer.byteCount + 1) * 9.0;
    return static_cast<int>(std::ceil(bitsOnBus / speed)) + 2000;
}

I2CTransactionResult RunI2CTransaction(UsbSession& session, const I2CTransactionRequest& request,
                                       const std::atomic<bool>& cancel) {
    if (!session.isAttached())
        return Ended(I2COutcome::NoDevice, usb_status::DeviceNotFound);
    const I2CTransferInput& in = request.transfer;
    GeneratorImage image{};
    std::copy(request.transmit.begin(), request.transmit.end(), image.begin() + 136);

    SetupPacket setup = session.setupPacket();
    UsbStatus status = usb_status::Success;
    for (const DeviceCommand& command : I2CTransferSequence(in, image)) {
        if (cancel)
            return Ended(I2COutcome::Cancelled);
        if (!Send(session, setup, command, status))
            return Ended(FailureOf(status, session), status);
    }

    // The instrument answers when its transfer has ended.
    const int readTimeout = std::max(session.settings().readTimeoutMs, 1);
    const std::optional<int> limit = I2CNoAnswerLimitMs(in);
    std::uint8_t answer[2] = {};
    int waitedMs = 0;
    for (;;) {
        if (cancel)
            return Ended(I2COutcome::Cancelled);
        const std::uint32_t got = session.readPipe(answer, 2, readTimeout, status);
        if (cancel)
            return Ended(I2COutcome::Cancelled);
        if (got == 2)
            break;
        if (status == usb_status::TimeOut) {
            waitedMs += readTimeout;
        } else if (status == usb_status::Success) {
            session.pause(kRetryPauseMs);
            waitedMs += kRetryPauseMs;
        } else {
            return Ended(FailureOf(status, session), status);
        }
        if (limit && waitedMs >= *limit)
            return Ended(I2COutcome::NoAnswer, usb_status::TimeOut);
    }

    I2CTransactionResult result = Ended(I2COutcome::Completed);
    result.notTransferred = answer[0] | answer[1] << 8;
    result.resultCount = std::clamp(in.byteCount - result.notTransferred, 0, in.byteCount);
    if (in.write || result.resultCount == 0)
        return result;
    if (!FetchPart(session, setup, 0, std::min(result.resultCount, kReplyPart), result.reply, status) ||
        (result.resultCount > kReplyPart &&
         !FetchPart(session, setup, 1, result.resultCount - kReplyPart, result.reply, status))) {
        I2CTransactionResult failed = Ended(FailureOf(status, session), status);
        failed.notTransferred = result.notTransferred;
        return failed;
    }
    return result;
}

} // namespace tesmar
