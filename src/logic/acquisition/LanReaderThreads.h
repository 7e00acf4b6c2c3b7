#pragma once
// The logic analyser's reader threads. Each owns its result while it runs; the user-interface
// thread reads it only after the thread has ended (the `finished` signal, queued).

#include "device/LogicBlock.h"
#include "logic/LogicReaders.h"

#include "device/acquisition/ReaderThread.h"

#include <atomic>

namespace tesmar {

class UsbSession;

class LanReaderThread : public ReaderThread {
    Q_OBJECT
public:
    LanReaderThread(UsbSession& session, const LogicBlockResult& block);

    virtual bool stream() const = 0;
    // Bytes stored so far by a stream reader; any thread may ask.
    std::int64_t progress() const { return progress_; }

protected:
    UsbSession& session_;
    const LogicBlockResult block_;
    std::atomic<std::int64_t> progress_{0};
};

class TWaitLanBufThread final : public LanReaderThread {
    Q_OBJECT
public:
    using LanReaderThread::LanReaderThread;
    bool stream() const override { return false; }
    bool valid() const { return valid_; }
    const LogicBufferFrame& frame() const { return frame_; }

protected:
    void work() override;

private:
    LogicBufferFrame frame_{};
    bool valid_ = false;
};

class TWaitLanPipeThread final : public LanReaderThread {
    Q_OBJECT
public:
    TWaitLanPipeThread(UsbSession& session, const LogicBlockResult& block, std::int64_t depth, std::int64_t preTrigger);
    bool stream() const override { return true; }
    LogicStreamResult& result() { return result_; }
    std::int64_t preTrigger() const { return pre_; }

protected:
    void work() override;

private:
    const std::int64_t depth_, pre_;
    LogicStreamResult result_;
};

} // namespace tesmar
