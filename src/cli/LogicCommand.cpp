#include "LogicCommand.h"

#include "CliMain.h"
#include "CliDevice.h"
#include "CliText.h"
#include "LogicOptions.h"
#include "OutputFile.h"
#include "StreamProgress.h"

#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "logic/LogicCapture.h"
#include "logic/LogicReaders.h"
#include "sim/LogicEngine.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace tesmar {

namespace {

// Ends the capture when the user interrupts or when it stops advancing for the time-out: the
// stop flag is raised and the pending transfer halted, as the page's reset button does.
class CaptureWatch {
public:
    CaptureWatch(UsbSession& session, double timeoutSeconds, const std::atomic<bool>* interrupted)
        : session_(session), timeout_(timeoutSeconds), interrupted_(interrupted), thread_([this] { watch(); })
    {
    }
    ~CaptureWatch()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    // The capture advanced: the time-out starts again.
    void advanced()
    {
        std::lock_guard lock(mutex_);
        lastAdvance_ = Clock::now();
    }
    const std::atomic<bool>& stop() const { return stop_; }
    bool timedOut() const { return timedOut_; }
    bool interrupted() const { return interrupted_ && *interrupted_; }

private:
    using Clock = std::chrono::steady_clock;
    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!finished_) {
            wake_.wait_for(lock, std::chrono::milliseconds(50));
            if (finished_)
                break;
            const bool late = Clock::now() - lastAdvance_ > std::chrono::duration<double>(timeout_);
            if (late || interrupted()) {
                timedOut_ = late && !interrupted();
                stop_ = true;
                session_.HaltTransfers();
                break;
            }
        }
    }

    UsbSession& session_;
    double timeout_;
    const std::atomic<bool>* interrupted_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> timedOut_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    Clock::time_point lastAdvance_ = Clock::now();
    std::thread thread_;
};

CaptureSamples ToSamples(LogicCapture capture)
{
    CaptureSamples samples;
    samples.busA = std::move(capture.busA);
    samples.busB = std::move(capture.busB);
    samples.samplePeriod = capture.samplePeriod;
    samples.firstSampleTime = capture.firstSampleTime;
    return samples;
}

} // namespace

int RunLogicCommand(UsbSession& session, LogicEngine* simulated, const std::vector<std::string>& args,
                    std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted)
{
    LogicOptionsResult parsed = ParseLogicOptions(args, simulated != nullptr);
    if (!parsed.options) {
        (parsed.status == 0 ? out : err) << parsed.text;
        return parsed.status;
    }
    LogicCommandOptions& options = *parsed.options;
    for (const std::string& warning : options.warnings)
        err << "tesmar-cli logic: " << TerminalText(warning) << '\n';
    if (simulated && options.loopBack) {
        LogicScene scene = LogicScene::Default();
        scene.loopBack = true;
        simulated->setScene(std::move(scene));
    }

    // A capture that could not be kept is not taken.
    OutputFile output;
    if (const int status = OpenOutputs("logic", {{&output, options.outPath}}, err))
        return status;

    const auto device = TakeUpForMeasurement(session, err);
    if (const int* status = std::get_if<int>(&device))
        return *status;
    const MessageTable messages;

    LogicBlockInput& in = options.block;
    in.generator = options.generator ? &*options.generator : nullptr;
    const LogicBlockResult block = BuildLogicBlock(in);
    const LogicMode& mode = options.mode;
    const double period = 1.0 / mode.sampleRate;
    LogicCapture capture;
    bool complete = false;
    bool stopped = false, timedOut = false;

    if (mode.buffered) {
        LogicBufferFrame frame;
        bool ok = false;
        {
            // A slow capture takes its own time before the time-out starts to count.
            CaptureWatch watch(session, options.timeoutSeconds + static_cast<double>(mode.depth) / mode.sampleRate,
                               interrupted);
            ok = ReadLogicBuffer(session, block, frame, watch.stop());
            stopped = watch.interrupted();
            timedOut = watch.timedOut();
        }
        if (!ok) {
            session.DeviceReset();
            err << (stopped    ? "tesmar-cli logic: interrupted before the capture was read; nothing written\n"
                    : timedOut ? "tesmar-cli logic: no capture within the time-out (no trigger, or no external clock?)\n"
                               : "tesmar-cli logic: the exchange with the instrument failed\n");
            return stopped ? kExitInterrupted : kExitFailure;
        }
        UnpackedLogic u = UnpackLogicBuffer(frame, BufferLayoutOf(in, block, static_cast<int>(mode.preTrigger)));
        capture = MakeLogicCapture(std::move(u.busA), std::move(u.busB), period, u.preTrigger);
        complete = true;
    } else {
        StreamProgress progress(err, "tesmar-cli logic: ", mode.depth, isatty(STDERR_FILENO) == 1);
        LogicStreamResult result;
        std::int64_t most = 0;
        {
            CaptureWatch watch(session, options.timeoutSeconds, interrupted);
            result = ReadLogicStream(session, block, mode.depth, mode.preTrigger, watch.stop(), [&](std::int64_t stored) {
                // While the trigger is searched the ring only turns: no advance.
                if (stored > most) {
                    most = stored;
                    watch.advanced();
                }
                progress.show(stored);
            });
            stopped = watch.interrupted();
            timedOut = watch.timedOut();
        }
        progress.end();
        if (result.status == LogicStreamStatus::OutOfMemory) {
            err << "tesmar-cli logic: " << TerminalText(messages.text(Msg::strLanErrOutMemAs)) << '\n';
            return kExitFailure;
        }
        if (result.status == LogicStreamStatus::ReadError)
            err << "tesmar-cli logic: " << TerminalText(messages.text(Msg::strRecErrRead)) << '\n';
        complete = result.status == LogicStreamStatus::Good;
        const std::int64_t pre = mode.preTrigger;
        auto ordered = FinishLogicStream(std::move(result), pre, in.busAInverse);
        if (!ordered || ordered->empty()) {
            err << (stopped    ? "tesmar-cli logic: interrupted before anything was captured; nothing written\n"
                    : timedOut ? "tesmar-cli logic: nothing captured within the time-out (no trigger?); nothing written\n"
                               : "tesmar-cli logic: nothing captured; nothing written\n");
            return stopped ? kExitInterrupted : kExitFailure;
        }
        capture = MakeLogicCapture(std::move(*ordered), {}, period, static_cast<std::int32_t>(pre));
    }

    const std::size_t count = capture.busA.size();
    const CaptureSamples samples = ToSamples(std::move(capture));
    if (const int status = CommitOutput("logic", output, [&](const std::string& path) { return SaveCaptureFile(path, samples, NameEveryLine(options.names)); }, err))
        return status;
    if (!complete) {
        err << "tesmar-cli logic: " << (stopped ? "interrupted" : timedOut ? "the capture stopped advancing" : "the capture ended early")
            << "; the " << count << " samples captured so far are in " << TerminalText(options.outPath) << '\n';
        return stopped ? kExitInterrupted : kExitFailure;
    }
    return kExitComplete;
}

} // namespace tesmar
