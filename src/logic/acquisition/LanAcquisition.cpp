#include "LanAcquisition.h"

#include <memory>

namespace tesmar {

LanAcquisition::LanAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), runner_(session, &history)
{
    connect(&runner_, &ReaderRunner::completed, this, &LanAcquisition::completed);
}

LanAcquisition::~LanAcquisition()
{
    shutdown();
}

void LanAcquisition::start(const LogicBlockResult& block, std::int64_t depth, std::int64_t preTrigger)
{
    if (runner_.running())
        return;
    stopped_ = false;
    const bool stream = block.captureMode == 6;
    std::unique_ptr<ReaderThread> thread;
    if (stream)
        thread = std::make_unique<TWaitLanPipeThread>(session_, block, depth, preTrigger);
    else
        thread = std::make_unique<TWaitLanBufThread>(session_, block);
    runner_.start(std::move(thread), stream, stream ? QThread::TimeCriticalPriority : QThread::HighPriority);
}

void LanAcquisition::stop()
{
    if (!runner_.running())
        return;
    stopped_ = true;
    runner_.stop();
}

void LanAcquisition::shutdown()
{
    if (!runner_.running())
        return;
    stopped_ = true;
    runner_.shutdown();
}

std::int64_t LanAcquisition::progress() const
{
    const auto* thread = static_cast<const LanReaderThread*>(runner_.current());
    return thread ? thread->progress() : 0;
}

} // namespace tesmar
