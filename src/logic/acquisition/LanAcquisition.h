#pragma once
// Starts and stops the logic analyser's reader thread (one at a time, the kind of the rate code,
// a reset before a stream after a buffered run of any page) and signals its completion on the
// thread that owns this object once the thread has ended.

#include "LanReaderThreads.h"
#include "device/acquisition/ReaderRunner.h"

#include <QObject>

namespace tesmar {

class LanAcquisition : public QObject {
    Q_OBJECT
public:
    LanAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent = nullptr);
    ~LanAcquisition() override;

    void start(const LogicBlockResult& block, std::int64_t depth, std::int64_t preTrigger);
    // Halts the transfers, asks the thread to end and resets the device; the completion follows.
    void stop();
    // For closing the program: stop and wait for the thread to end.
    void shutdown();
    bool running() const { return runner_.running(); }
    std::int64_t progress() const;

    // Valid in the completion handler: the thread that just ended.
    LanReaderThread* finished() const { return static_cast<LanReaderThread*>(runner_.finished()); }
    // Whether the run was stopped by `stop` (its capture does not count).
    bool stopped() const { return stopped_; }

signals:
    void completed();

private:
    UsbSession& session_;
    ReaderRunner runner_;
    bool stopped_ = false;
};

} // namespace tesmar
