#pragma once
// Runs one reader thread at a time for a measuring path: starts it (with a device reset before
// a stream that follows a buffered run of any page), halts its transfers and asks it to end,
// waits for it when the program closes, and signals its end on the thread that owns the runner.
// The thread that ended is kept until the next start, so its result can be read.

#include "ReaderThread.h"

#include <QObject>

#include <memory>

namespace tesmar {

class UsbSession;

// Whether the last start of any measuring page was in buffer mode; shared by the pages.
struct AcquisitionHistory {
    bool lastStartBufferMode = false;
};

class ReaderRunner : public QObject {
    Q_OBJECT
public:
    // Without a history the runner never resets before a start (the terminal's transactions).
    ReaderRunner(UsbSession& session, AcquisitionHistory* history, QObject* parent = nullptr);
    ~ReaderRunner() override;

    // Ignored while a thread runs: one run at a time.
    void start(std::unique_ptr<ReaderThread> thread, bool stream, QThread::Priority priority);
    // Halts the pending transfers and asks the thread to end; does not wait.
    void halt();
    // A measurement's stop: halt, give a reader still at work 100 ms to leave, reset the device.
    // The completion still follows.
    void stop();
    // For closing: halt and wait for the thread's end; it is kept as the finished one but no
    // completion follows. The device is reset when asked.
    void shutdown(bool resetDevice = true);

    bool running() const { return thread_ != nullptr; }
    ReaderThread* current() const { return thread_.get(); }
    // Valid from the completion until the next start.
    ReaderThread* finished() const { return finished_.get(); }

signals:
    void completed();

private:
    void onThreadFinished();

    UsbSession& session_;
    AcquisitionHistory* history_;
    std::unique_ptr<ReaderThread> thread_;
    std::unique_ptr<ReaderThread> finished_;
};

} // namespace tesmar
