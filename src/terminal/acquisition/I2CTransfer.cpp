#include "I2CTransfer.h"

#include "device/UsbSession.h"

namespace tesmar {

I2CTransfer::I2CTransfer(UsbSession& session, QObject* parent) : QObject(parent), session_(session) {}

I2CTransfer::~I2CTransfer() {
    shutdown();
}

void I2CTransfer::start(const I2CTransactionRequest& request) {
    if (thread_)
        return;
    finished_.reset();
    thread_ = new TWaitI2CThread(session_, request);
    connect(thread_, &QThread::finished, this, &I2CTransfer::onThreadFinished, Qt::QueuedConnection);
    thread_->start(QThread::HighPriority);
}

void I2CTransfer::cancel() {
    if (!thread_)
        return;
    thread_->requestStop();
    session_.HaltTransfers();
}

void I2CTransfer::shutdown() {
    if (!thread_)
        return;
    cancel();
    thread_->wait();
    disconnect(thread_, nullptr, this, nullptr);
    finished_.reset(thread_);
    thread_ = nullptr;
}

void I2CTransfer::onThreadFinished() {
    if (!thread_)
        return;
    thread_->wait(); // `finished` comes just before the thread ends
    finished_.reset(thread_);
    thread_ = nullptr;
    emit completed();
}

} // namespace tesmar
