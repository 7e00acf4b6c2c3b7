#pragma once
// The oscilloscope's reader threads. Each owns the record while it runs; the user-interface
// thread reads it only after the thread has ended (the `finished` signal, queued).

#include "osc/OscAcquisitionParams.h"
#include "osc/OscBufferDecoder.h"
#include "osc/OscLiveRecord.h"
#include "osc/OscResult.h"

#include "device/acquisition/ReaderThread.h"

namespace tesmar {

class UsbSession;

class OscReaderThread : public ReaderThread {
    Q_OBJECT
public:
    // `live`, when given, receives the points of a stream record while it fills.
    OscReaderThread(UsbSession& session, const OscAcquisitionParams& params, OscResult& result,
                    OscLiveRecord* live = nullptr);

    bool bufferMode() const { return !params_.streamMode(); }
    const OscAcquisitionParams& params() const { return params_; }

protected:
    UsbSession& session_;
    const OscAcquisitionParams params_;
    OscResult& result_;
    OscLiveRecord* live_;
};

class TWaitOscBufThread final : public OscReaderThread {
    Q_OBJECT
public:
    using OscReaderThread::OscReaderThread;
    // The frame as read; decoded on the user-interface thread.
    const OscFrame& frame() const { return frame_; }

protected:
    void work() override;

private:
    OscFrame frame_{};
};

class TWaitOscPipeThread final : public OscReaderThread {
    Q_OBJECT
public:
    using OscReaderThread::OscReaderThread;

protected:
    void work() override;
};

} // namespace tesmar
