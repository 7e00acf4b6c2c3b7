#pragma once
// Starts and stops the oscilloscope's (and the spectrum's) reader threads: one at a time, the
// right kind for the read mode, a reset before streaming after a buffer run, and a completion
// signal on the user-interface thread once the thread has ended.

#include "OscReaderThreads.h"
#include "device/acquisition/ReaderRunner.h"

#include <QObject>

namespace tesmar {

class UsbSession;

class OscAcquisition : public QObject {
    Q_OBJECT
public:
    OscAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent = nullptr);
    ~OscAcquisition() override;

    // StartOscAcquisition: a reader thread for the block's read mode.
    void start(const OscAcquisitionParams& params);
    // StopOscAcquisition: halts the transfers, asks the thread to end, resets the device. The
    // completion still follows, with an incomplete record.
    void stop();
    // For closing the program: stop and wait for the thread to end.
    void shutdown();

    bool running() const { return runner_.running(); }
    // The run that ended was stopped on request; otherwise an incomplete record means a failed read.
    bool stopRequested() const { return stopRequested_; }
    // Valid in the completion handler.
    OscResult& result() { return result_; }
    const OscAcquisitionParams& lastParams() const { return lastParams_; }
    // A buffer-mode trigger restart sent a new block to the waiting reader: decode with it.
    void blockResent(const OscAcquisitionParams& params) { lastParams_ = params; }
    // The buffer frame of the run that just completed (buffer mode only).
    const OscFrame* bufferFrame() const;
    // Stream records hand their points over while they fill (for a page that draws them).
    void setLiveRecord(bool on) { liveOn_ = on; }
    // A stream record's points so far, newer than those last taken, swapped into `out`; also
    // the last ones after the run has ended.
    bool takeLive(OscResult& out) { return live_.take(out); }

signals:
    // The thread has ended; emitted on the thread that owns this object.
    void completed(bool bufferMode);

private:
    void onCompleted();

    UsbSession& session_;
    OscResult result_;
    OscLiveRecord live_;
    bool liveOn_ = false;
    OscAcquisitionParams lastParams_;
    bool stopRequested_ = false;
    ReaderRunner runner_;
};

} // namespace tesmar
