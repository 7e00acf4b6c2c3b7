#include "LanReaderThreads.h"

namespace tesmar {

LanReaderThread::LanReaderThread(UsbSession& session, const LogicBlockResult& block) : session_(session), block_(block)
{
}

void TWaitLanBufThread::work()
{
    valid_ = ReadLogicBuffer(session_, block_, frame_, stop_);
}

TWaitLanPipeThread::TWaitLanPipeThread(UsbSession& session, const LogicBlockResult& block, std::int64_t depth,
                                       std::int64_t preTrigger)
    : LanReaderThread(session, block), depth_(depth), pre_(preTrigger)
{
}

void TWaitLanPipeThread::work()
{
    result_ = ReadLogicStream(session_, block_, depth_, pre_, stop_, [this](std::int64_t stored) { progress_ = stored; });
}

} // namespace tesmar
