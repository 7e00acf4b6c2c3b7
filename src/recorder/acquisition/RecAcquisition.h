#pragma once
// Starts and stops the recorder's reader thread and keeps the recording (stream and record)
// after the thread has ended, until the next start or a clear.

#include "TWaitRecPipeThread.h"
#include "device/acquisition/ReaderRunner.h"

#include <QObject>

#include <memory>

namespace tesmar {

class UsbSession;

class RecAcquisition : public QObject {
    Q_OBJECT
public:
    RecAcquisition(UsbSession& session, AcquisitionHistory& history, QObject* parent = nullptr);
    ~RecAcquisition() override;

    // A new recording replaces the kept one; a reset first when the last start was buffered.
    void start(const RecorderBlock& block, const RecorderSettings& settings, MemoryProbe memory = {});
    // Halts the transfers and asks the thread to end (with the stop's short pause when it is still
    // reading); does not wait for it. `completed` follows.
    void stop();
    // For closing: stop and wait for the thread's end (it never waits for this thread).
    void shutdown();
    // Drops the kept recording (not while one runs).
    void clear();
    // Keeps a finished recording made elsewhere (a data file) as the last one (not while one runs).
    void adopt(std::unique_ptr<RecorderStream> stream);

    bool running() const { return runner_.running(); }
    // The running or the last recording; null before the first and after a clear.
    RecorderStream* stream() { return stream_.get(); }
    const RecorderStream* stream() const { return stream_.get(); }

signals:
    // The thread has ended; emitted on the thread that owns this object.
    void completed();

private:
    UsbSession& session_;
    std::unique_ptr<RecorderStream> stream_;
    ReaderRunner runner_;
};

} // namespace tesmar
