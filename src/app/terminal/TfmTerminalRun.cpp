// The terminal's transfers: the read and write buttons, the status window while the instrument
// works, and the result when it has answered or the wait was ended.

#include "TerminalHexGrid.h"
#include "TfmTerminal.h"
#include "TfmTerminalStatus.h"
#include "app/UserMessages.h"
#include "device/UsbSession.h"
#include "terminal/TerminalFields.h"
#include "terminal/TerminalTexts.h"
#include "terminal/acquisition/I2CTransfer.h"
#include "text/MessageTable.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>

namespace tesmar {

void TfmTerminal::sbI2CReadClick() {
    if (transfer_->running() || othersMeasuring_)
        return;
    fmTerminalStatus->setStates(text(Msg::strTermUnused),
                                QString::fromStdString(TerminalReadingText(ctx_.table, udI2CCountRd->value())));
    // The receive buffer keeps what it holds until a read brings bytes.
    startTransfer(false);
}

void TfmTerminal::sbI2CWriteClick() {
    if (transfer_->running() || othersMeasuring_)
        return;
    fmTerminalStatus->setStates(QString::fromStdString(TerminalWritingText(ctx_.table, udI2CCountWr->value())),
                                text(Msg::strTermUnused));
    startTransfer(true);
}

void TfmTerminal::startTransfer(bool write) {
    const TerminalGroupSettings s = groupSettings(write);
    I2CTransactionRequest request;
    request.transfer = {.byteCount = s.count,
                        .address7 = AddressFromText(s.master ? s.masterAddress : s.slaveAddress),
                        .master = s.master,
                        .write = write,
                        .kbitPerSecond = s.speed};
    if (write)
        request.transmit = transmit_;
    lbI2CResult->clear();
    setLocked(true);
    fmTerminalStatus->show();
    transfer_->start(request);
}

void TfmTerminal::statusReset() {
    // The wait ends; the completion resets the device and restores the window.
    if (!transfer_->running())
        return;
    transfer_->cancel();
    QApplication::beep();
}

void TfmTerminal::transferDone() {
    const I2CTransactionResult& result = transfer_->result();
    const I2CTransferInput& asked = transfer_->request().transfer;
    fmTerminalStatus->closeQuietly();
    activateWindow();
    // An abandoned transfer may still run in the instrument: the reset ends it.
    if (result.outcome == I2COutcome::Cancelled || result.outcome == I2COutcome::NoAnswer)
        ctx_.session.DeviceReset();
    const int count = result.outcome == I2COutcome::Completed ? result.resultCount : 0;
    // A read that brought nothing (failed, ended or cut off) leaves the last data in place.
    if (!asked.write && count > 0) {
        receive_.fill(0);
        std::copy_n(result.reply.begin(), count, receive_.begin());
        strgridI2CBufRd->setCount(count);
        // As master the count read is the count asked; as slave the other master decides how
        // much it sends, and the next read should again take up to what the user asked.
        if (asked.master) {
            const QSignalBlocker block(udI2CCountRd);
            udI2CCountRd->setValue(count);
        }
    }
    lbI2CResult->setText(QString::fromStdString(TerminalResultText(ctx_.table, result, asked.write, asked.byteCount)));
    setLocked(false);
    if (TerminalResultNeedsMessage(result, asked.write, asked.byteCount))
        ctx_.messages.error(QString::fromStdString(
            TerminalResultMessage(ctx_.table, result, asked.write, asked.byteCount)));
}

} // namespace tesmar
