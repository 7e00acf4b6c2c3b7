#pragma once
// The terminal's worker thread: one I2C transaction. It owns its result while it runs; the
// user-interface thread reads it only after the thread has ended.

#include "terminal/I2CTransaction.h"

#include "device/acquisition/ReaderThread.h"

namespace tesmar {

class UsbSession;

class TWaitI2CThread final : public ReaderThread {
    Q_OBJECT
  public:
    TWaitI2CThread(UsbSession& session, const I2CTransactionRequest& request);

    const I2CTransactionResult& result() const { return result_; }
    const I2CTransactionRequest& request() const { return request_; }

  protected:
    void work() override;

  private:
    UsbSession& session_;
    const I2CTransactionRequest request_;
    I2CTransactionResult result_;
};

} // namespace tesmar
