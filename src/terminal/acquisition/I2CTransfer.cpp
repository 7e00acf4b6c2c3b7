#include "I2CTransfer.h"

#include <memory>

namespace tesmar {

// No history: a transaction never follows a buffered run with a reset of its own.
I2CTransfer::I2CTransfer(UsbSession& session, QObject* parent)
    : QObject(parent), session_(session), runner_(session, nullptr) {
    connect(&runner_, &ReaderRunner::completed, this, &I2CTransfer::completed);
}

I2CTransfer::~I2CTransfer() {
    shutdown();
}

void I2CTransfer::start(const I2CTransactionRequest& request) {
    runner_.start(std::make_unique<TWaitI2CThread>(session_, request), false, QThread::HighPriority);
}

void I2CTransfer::cancel() {
    runner_.halt();
}

void I2CTransfer::shutdown() {
    runner_.shutdown(false);
}

} // namespace tesmar
