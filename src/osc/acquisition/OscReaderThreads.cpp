#include "OscReaderThreads.h"

#include "osc/OscReaders.h"

namespace tesmar {

OscReaderThread::OscReaderThread(UsbSession& session, const OscAcquisitionParams& params, OscResult& result,
                                 OscLiveRecord* live)
    : session_(session), params_(params), result_(result), live_(live)
{
}

void TWaitOscBufThread::work()
{
    result_.DataReady = false;
    result_.DataReady = ReadOscBufferFrame(session_, params_, frame_, stop_);
}

void TWaitOscPipeThread::work()
{
    ReadOscStream(session_, params_, result_, stop_, live_);
}

} // namespace tesmar
