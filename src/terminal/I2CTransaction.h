#pragma once
// One I2C transfer of the terminal through the instrument (command 14): for a write the data
// goes out first through command 8, then the instrument is started with the address, speed and
// direction, the host waits for its 2-byte answer (bytes not transferred) and, after a read,
// fetches the received bytes in two 512-byte parts. Runs on a worker thread; a cancel (the
// status window's "Сброс") ends the wait.

#include "TerminalHexView.h"
#include "device/ServiceCommands.h"
#include "device/UsbStatus.h"

#include <atomic>
#include <optional>

namespace tesmar {

class UsbSession;

struct I2CTransactionRequest {
    I2CTransferInput transfer;
    TerminalBuffer transmit{}; // the bytes a write sends
};

enum class I2COutcome {
    Completed, // the instrument answered; see the result count
    Cancelled, // the user ended the wait
    NoDevice,  // no instrument, or it was unplugged during the transfer
    NoAnswer,  // as master the instrument did not finish within its time limit
    Failed,    // a transfer on the USB failed (status)
};

struct I2CTransactionResult {
    I2COutcome outcome = I2COutcome::Failed;
    int notTransferred = 0; // the instrument's answer
    int resultCount = 0;    // bytes actually transferred
    TerminalBuffer reply{}; // received bytes (read)
    UsbStatus status = usb_status::Success;
};

// How long a master transfer may take before the instrument counts as not answering: the bits
// of the address and every byte at the chosen speed, and two seconds for the instrument. A
// slave waits for a master on the bus as long as the user lets it.
std::optional<int> I2CNoAnswerLimitMs(const I2CTransferInput& transfer);

// Pauses of the transaction go through the session's sleeper.
I2CTransactionResult RunI2CTransaction(UsbSession& session, const I2CTransactionRequest& request,
                                       const std::atomic<bool>& cancel);

} // namespace tesmar
