#include "OscAcquisition.h"

#include <memory>

namespace tesmar {

OscAcquisition::OscAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), runner_(session, &history)
{
    connect(&runner_, &ReaderRunner::completed, this, &OscAcquisition::onCompleted);
}

OscAcquisition::~OscAcquisition()
{
    shutdown();
}

void OscAcquisition::start(const OscAcquisitionParams& params)
{
    if (runner_.running())
        return; // one run at a time
    lastParams_ = params;
    stopRequested_ = false;
    const bool stream = params.streamMode();
    live_.clear();
    std::unique_ptr<ReaderThread> thread;
    if (stream)
        thread = std::make_unique<TWaitOscPipeThread>(session_, params, result_, liveOn_ ? &live_ : nullptr);
    else
        thread = std::make_unique<TWaitOscBufThread>(session_, params, result_);
    runner_.start(std::move(thread), stream, stream ? QThread::TimeCriticalPriority : QThread::HighPriority);
}

void OscAcquisition::stop()
{
    stopRequested_ = true;
    runner_.stop();
}

void OscAcquisition::shutdown()
{
    stopRequested_ = true;
    runner_.shutdown();
}

void OscAcquisition::onCompleted()
{
    emit completed(static_cast<const OscReaderThread*>(runner_.finished())->bufferMode());
}

const OscFrame* OscAcquisition::bufferFrame() const
{
    const auto* buffer = dynamic_cast<const TWaitOscBufThread*>(runner_.finished());
    return buffer ? &buffer->frame() : nullptr;
}

} // namespace tesmar
