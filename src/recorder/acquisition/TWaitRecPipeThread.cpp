#include "TWaitRecPipeThread.h"

#include "recorder/RecorderReader.h"

namespace tesmar {

TWaitRecPipeThread::TWaitRecPipeThread(UsbSession& session, const RecorderBlock& block, RecorderStream& stream)
    : session_(session), block_(block), stream_(stream)
{
}

void TWaitRecPipeThread::work()
{
    ReadRecorderStream(session_, block_, stream_, stop_);
}

} // namespace tesmar
