#include "ReaderRunner.h"

#include "device/UsbSession.h"

namespace tesmar {

ReaderRunner::ReaderRunner(UsbSession& session, AcquisitionHistory* history, QObject* parent)
    : QObject(parent), session_(session), history_(history)
{
}

ReaderRunner::~ReaderRunner()
{
    // The owner's own shutdown has normally run; this only makes sure no thread outlives us.
    shutdown(false);
}

void ReaderRunner::start(std::unique_ptr<ReaderThread> thread, bool stream, QThread::Priority priority)
{
    if (thread_)
        return;
    finished_.reset();
    if (history_) {
        if (stream && history_->lastStartBufferMode)
            session_.DeviceReset();
        history_->lastStartBufferMode = !stream;
    }
    thread_ = std::move(thread);
    connect(thread_.get(), &QThread::finished, this, &ReaderRunner::onThreadFinished, Qt::QueuedConnection);
    thread_->start(priority);
}

void ReaderRunner::halt()
{
    if (!thread_)
        return;
    thread_->requestStop();
    session_.HaltTransfers();
}

void ReaderRunner::stop()
{
    if (thread_) {
        const bool stillWorking = !thread_->workDone();
        halt();
        if (stillWorking)
            session_.pause(100);
    }
    session_.DeviceReset();
}

void ReaderRunner::shutdown(bool resetDevice)
{
    if (!thread_)
        return;
    halt();
    thread_->wait();
    if (resetDevice)
        session_.DeviceReset();
    disconnect(thread_.get(), nullptr, this, nullptr);
    finished_ = std::move(thread_);
}

void ReaderRunner::onThreadFinished()
{
    if (!thread_)
        return;
    // `finished` is sent just before the thread ends: wait the last moment out.
    thread_->wait();
    finished_ = std::move(thread_);
    emit completed();
}

} // namespace tesmar
