#pragma once
// The oscilloscope's reader threads. Each owns the record while it runs; the user-interface
// thread reads it only after the thread has ended (the `finished` signal, queued).

#include "osc/OscAcquisitionParams.h"
#include "osc/OscBufferDecoder.h"
#include "osc/OscLiveRecord.h"
#include "osc/OscResult.h"

#include <QThread>

#include <atomic>

namespace tesmar {

class UsbSession;

class OscReaderThread : public QThread {
    Q_OBJECT
public:
    // `live`, when given, receives the points of a stream record while it fills.
    OscReaderThread(UsbSession& session, const OscAcquisitionParams& params, OscResult& result,
                    OscLiveRecord* live = nullptr);

    void requestStop() { stop_ = true; }
    // Set by the thread itself when its work is over, so a stop can tell it from a running one.
    bool workDone() const { return workDone_; }
    bool bufferMode() const { return !params_.streamMode(); }
    const OscAcquisitionParams& params() const { return params_; }

protected:
    UsbSession& session_;
    const OscAcquisitionParams params_;
    OscResult& result_;
    OscLiveRecord* live_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> workDone_{false};
};

class TWaitOscBufThread final : public OscReaderThread {
    Q_OBJECT
public:
    using OscReaderThread::OscReaderThread;
    // The frame as read; decoded on the user-interface thread.
    const OscFrame& frame() const { return frame_; }

protected:
    void run() override;

private:
    OscFrame frame_{};
};

class TWaitOscPipeThread final : public OscReaderThread {
    Q_OBJECT
public:
    using OscReaderThread::OscReaderThread;

protected:
    void run() override;
};

} // namespace tesmar
