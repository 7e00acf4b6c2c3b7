#pragma once
// A reader thread: runs one plain reader function with a stop flag the controller can set.
// It owns its result while it runs; the user-interface thread reads the result only after the
// thread has ended.

#include <QThread>

#include <atomic>

namespace tesmar {

class ReaderThread : public QThread {
    Q_OBJECT
public:
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }
    // Set by the thread itself when its work is over, so a stop can tell it from a running one.
    bool workDone() const { return workDone_; }

protected:
    // The reader function; it watches `stop_`.
    virtual void work() = 0;

    std::atomic<bool> stop_{false};

private:
    void run() final;

    std::atomic<bool> workDone_{false};
};

} // namespace tesmar
