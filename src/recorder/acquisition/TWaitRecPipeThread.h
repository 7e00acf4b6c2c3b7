#pragma once
// The recorder's reader thread. It owns nothing: the stream and its record belong to the
// controller, so the points stay when the thread is gone. It never waits for the user-interface
// thread; the page reads the published count and elapsed time on its own timer, so a stop, a
// close or an unplug can never find the two threads waiting for each other.

#include "device/AnalogBlockBuilders.h"
#include "recorder/RecorderStream.h"

#include "device/acquisition/ReaderThread.h"

namespace tesmar {

class UsbSession;

class TWaitRecPipeThread final : public ReaderThread {
    Q_OBJECT
public:
    TWaitRecPipeThread(UsbSession& session, const RecorderBlock& block, RecorderStream& stream);

protected:
    void work() override;

private:
    UsbSession& session_;
    const RecorderBlock block_;
    RecorderStream& stream_;
};

} // namespace tesmar
