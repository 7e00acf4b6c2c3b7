#include "RecAcquisition.h"

namespace tesmar {

RecAcquisition::RecAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent)
    : QObject(parent), session_(session), runner_(session, &history)
{
    connect(&runner_, &ReaderRunner::completed, this, &RecAcquisition::completed);
}

RecAcquisition::~RecAcquisition()
{
    shutdown();
}

void RecAcquisition::start(const RecorderBlock& block, const RecorderSettings& settings, MemoryProbe memory)
{
    if (runner_.running())
        return; // one run at a time
    stream_.reset(); // the old record goes before the new one reserves
    stream_ = std::make_unique<RecorderStream>(settings, std::move(memory));
    runner_.start(std::make_unique<TWaitRecPipeThread>(session_, block, *stream_), true, QThread::TimeCriticalPriority);
}

void RecAcquisition::stop()
{
    runner_.stop();
}

void RecAcquisition::shutdown()
{
    runner_.shutdown();
}

void RecAcquisition::clear()
{
    if (!runner_.running())
        stream_.reset();
}

void RecAcquisition::adopt(std::unique_ptr<RecorderStream> stream)
{
    if (!runner_.running())
        stream_ = std::move(stream);
}

} // namespace tesmar
