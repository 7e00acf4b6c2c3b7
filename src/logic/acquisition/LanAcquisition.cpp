#include "LanAcquisition.h"

#include "device/UsbSession.h"
#include "osc/acquisition/OscAcquisition.h"

namespace tesmar {

LanAcquisition::LanAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), history_(history)
{
}

LanAcquisition::~LanAcquisition()
{
    shutdown();
}

void LanAcquisition::start(const LogicBlockResult& block, std::int64_t depth, std::int64_t preTrigger)
{
    if (thread_)
        return;
    finished_.reset();
    stopped_ = false;
    const bool stream = block.captureMode == 6;
    if (stream && history_.lastStartBufferMode)
        session_.DeviceReset();
    if (stream)
        thread_ = new TWaitLanPipeThread(session_, block, depth, preTrigger);
    else
        thread_ = new TWaitLanBufThread(session_, block);
    connect(thread_, &QThread::finished, this, &LanAcquisition::onThreadFinished, Qt::QueuedConnection);
    thread_->start(stream ? QThread::TimeCriticalPriority : QThread::HighPriority);
    history_.lastStartBufferMode = !stream;
}

void LanAcquisition::stop()
{
    if (!thread_)
        return;
    stopped_ = true;
    session_.HaltTransfers();
    if (!thread_->workDone()) {
        thread_->requestStop();
        session_.pause(100);
    }
    session_.DeviceReset();
}

void LanAcquisition::shutdown()
{
    if (!thread_)
        return;
    stopped_ = true;
    thread_->requestStop();
    session_.HaltTransfers();
    thread_->wait();
    session_.DeviceReset();
    disconnect(thread_, nullptr, this, nullptr);
    delete thread_;
    thread_ = nullptr;
}

void LanAcquisition::onThreadFinished()
{
    if (!thread_)
        return;
    thread_->wait(); // `finished` comes just before the thread ends
    finished_.reset(thread_);
    thread_ = nullptr;
    emit completed();
}

} // namespace tesmar
