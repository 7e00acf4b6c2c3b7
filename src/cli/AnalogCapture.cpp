#include "AnalogCapture.h"

#include "device/UsbSession.h"
#include "osc/OscBufferDecoder.h"
#include "osc/OscReaders.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tesmar {

AnalogCaptureOutcome CaptureAnalogRecord(UsbSession& session, const OscAcquisitionParams& params,
                                         double timeoutSeconds, OscResult& result,
                                         const std::atomic<bool>* interrupted)
{
    // A record that never comes ends after the time-out, as the reset button would end it.
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool cut = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
        while (!finished && std::chrono::steady_clock::now() < end && !(interrupted && *interrupted))
            done.wait_for(lock, std::chrono::milliseconds(20));
        if (!finished) {
            cut = interrupted && *interrupted;
            stop = true;
            session.HaltTransfers();
        }
    });
    bool ok = false;
    if (params.streamMode()) {
        ok = ReadOscStream(session, params, result, stop);
    } else {
        OscFrame frame{};
        ok = ReadOscBufferFrame(session, params, frame, stop);
        if (ok)
            DecodeOscBuffer(frame, params, {}, result);
        session.DeviceReset();
    }
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
    if (ok)
        return AnalogCaptureOutcome::Complete;
    if (cut)
        return AnalogCaptureOutcome::Interrupted;
    return stop ? AnalogCaptureOutcome::TimedOut : AnalogCaptureOutcome::Failed;
}

} // namespace tesmar
