#include "OscAcquisition.h"

#include "device/UsbSession.h"

namespace tesmar {

OscAcquisition::OscAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), history_(history)
{
}

OscAcquisition::~OscAcquisition()
{
    shutdown();
}

void OscAcquisition::start(const OscAcquisitionParams& params)
{
    if (thread_)
        return; // one run at a time
    finished_.reset();
    lastParams_ = params;
    const bool stream = params.streamMode();
    if (stream && history_.lastStartBufferMode)
        session_.DeviceReset();
    live_.clear();
    if (stream)
        thread_ = new TWaitOscPipeThread(session_, params, result_, liveOn_ ? &live_ : nullptr);
    else
        thread_ = new TWaitOscBufThread(session_, params, result_);
    connect(thread_, &QThread::finished, this, &OscAcquisition::onThreadFinished, Qt::QueuedConnection);
    thread_->start(stream ? QThread::TimeCriticalPriority : QThread::HighPriority);
    history_.lastStartBufferMode = !stream;
}

void OscAcquisition::stop()
{
    if (thread_) {
        session_.HaltTransfers();
        if (!thread_->workDone()) {
            thread_->requestStop();
            session_.pause(100);
        }
    }
    session_.DeviceReset();
}

void OscAcquisition::shutdown()
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

void OscAcquisition::onThreadFinished()
{
    if (!thread_)
        return;
    // `finished` is sent just before the thread ends: wait the last moment out.
    thread_->wait();
    finished_.reset(thread_);
    thread_ = nullptr;
    emit completed(finished_->bufferMode());
}

const OscFrame* OscAcquisition::bufferFrame() const
{
    const auto* buffer = dynamic_cast<const TWaitOscBufThread*>(finished_.get());
    return buffer ? &buffer->frame() : nullptr;
}

} // namespace tesmar
