#pragma once
// The recorder's reader thread. It owns nothing: the stream and its record belong to the
// controller, so the points stay when the thread is gone. It never waits for the user-interface
// thread; the page reads the published count and elapsed time on its own timer, so a stop, a
// close or an unplug can never find the two threads waiting for each other.

#include "device/AnalogBlockBuilders.h"
#include "recorder/RecorderStream.h"

#include <QThread>

#include <atomic>

namespace tesmar {

class UsbSession;

class TWaitRecPipeThread final : public QThread {
    Q_OBJECT
public:
    TWaitRecPipeThread(UsbSession& session, const RecorderBlock& block, RecorderStream& stream);

    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }

protected:
    void run() override;

private:
    UsbSession& session_;
    const RecorderBlock block_;
    RecorderStream& stream_;
    std::atomic<bool> stop_{false};
};

} // namespace tesmar
