#include "RecAcquisition.h"

#include "device/UsbSession.h"
#include "osc/acquisition/OscAcquisition.h"

namespace tesmar {

RecAcquisition::RecAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), history_(history)
{
}

RecAcquisition::~RecAcquisition()
{
    shutdown();
}

void RecAcquisition::start(const RecorderBlock& block, const RecorderSettings& settings, MemoryProbe memory)
{
    if (thread_)
        return; // one run at a time
    if (history_.lastStartBufferMode)
        session_.DeviceReset();
    history_.lastStartBufferMode = false;
    stream_.reset(); // the old record goes before the new one reserves
    stream_ = std::make_unique<RecorderStream>(settings, std::move(memory));
    thread_ = new TWaitRecPipeThread(session_, block, *stream_);
    connect(thread_, &QThread::finished, this, &RecAcquisition::onThreadFinished, Qt::QueuedConnection);
    thread_->start(QThread::TimeCriticalPriority);
}

void RecAcquisition::stop()
{
    if (thread_ && !thread_->stopRequested()) {
        thread_->requestStop();
        session_.HaltTransfers();
    }
    session_.DeviceReset();
}

void RecAcquisition::shutdown()
{
    if (!thread_)
        return;
    thread_->requestStop();
    session_.HaltTransfers();
    thread_->wait();
    session_.DeviceReset();
    disconnect(thread_, nullptr, this, nullptr);
    delete thread_;
    thread_ = nullptr;
}

void RecAcquisition::clear()
{
    if (!thread_)
        stream_.reset();
}

void RecAcquisition::adopt(std::unique_ptr<RecorderStream> stream)
{
    if (!thread_)
        stream_ = std::move(stream);
}

void RecAcquisition::onThreadFinished()
{
    if (!thread_)
        return;
    // `finished` is sent just before the thread ends: wait the last moment out.
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit completed();
}

} // namespace tesmar
