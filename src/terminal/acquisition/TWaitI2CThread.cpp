#include "TWaitI2CThread.h"

namespace tesmar {

TWaitI2CThread::TWaitI2CThread(UsbSession& session, const I2CTransactionRequest& request)
    : session_(session), request_(request) {}

void TWaitI2CThread::work() {
    result_ = RunI2CTransaction(session_, request_, stop_);
}

} // namespace tesmar
