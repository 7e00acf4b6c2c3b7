#include "ReaderThread.h"

namespace tesmar {

void ReaderThread::run()
{
    work();
    workDone_ = true;
    stop_ = true;
}

} // namespace tesmar
