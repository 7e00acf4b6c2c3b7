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

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>

namespace tesmar {

void TfmTerminal::sbI2CReadClick() {
    if (transfer_->running())
        return;
    fmTerminalStatus->setStates(kTerminalStatusUnused,
                                QString::fromStdString(TerminalReadingText(udI2CCountRd->value())));
    receive_.fill(0);
    strgridI2CBufRd->hexModel()->refresh();
    startTransfer(false);
}

void TfmTerminal::sbI2CWriteClick() {
    if (transfer_->running())
        return;
    fmTerminalStatus->setStates(QString::fromStdString(TerminalWritingText(udI2CCountWr->value())),
                                kTerminalStatusUnused);
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
    pgcntrTerminal->setEnabled(false);
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
    if (!asked.write) {
        const int count = result.outcome == I2COutcome::Completed ? result.resultCount : 0;
        std::copy_n(result.reply.begin(), count, receive_.begin());
        strgridI2CBufRd->setCount(count);
        // The read count follows what was read; after nothing read the asked count stays.
        if (count > 0) {
            const QSignalBlocker block(udI2CCountRd);
            udI2CCountRd->setValue(count);
        }
    }
    lbI2CResult->setText(QString::fromStdString(TerminalResultText(result, asked.write, asked.byteCount)));
    pgcntrTerminal->setEnabled(true);
    if (TerminalResultNeedsMessage(result, asked.write, asked.byteCount))
        ctx_.messages.error(
            QString::fromStdString(TerminalResultMessage(result, asked.write, asked.byteCount)));
}

} // namespace tesmar
