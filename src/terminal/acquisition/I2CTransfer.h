#pragma once
// Starts the terminal's transaction on its thread, ends its wait on request and signals the
// completion on the thread that owns this object once the worker has ended.

#include "TWaitI2CThread.h"
#include "device/acquisition/ReaderRunner.h"

#include <QObject>

namespace tesmar {

class I2CTransfer : public QObject {
    Q_OBJECT
  public:
    explicit I2CTransfer(UsbSession& session, QObject* parent = nullptr);
    ~I2CTransfer() override;

    void start(const I2CTransactionRequest& request);
    // The user's "Сброс": the pending transfers are halted and the worker asked to end; the
    // completion follows with the outcome Cancelled. The device is reset there.
    void cancel();
    // For closing: cancel and wait for the worker.
    void shutdown();
    bool running() const { return runner_.running(); }

    // Valid in the completion handler.
    const I2CTransactionResult& result() const { return finished().result(); }
    const I2CTransactionRequest& request() const { return finished().request(); }

  signals:
    void completed();

  private:
    const TWaitI2CThread& finished() const { return *static_cast<const TWaitI2CThread*>(runner_.finished()); }

    UsbSession& session_;
    ReaderRunner runner_;
};

} // namespace tesmar
