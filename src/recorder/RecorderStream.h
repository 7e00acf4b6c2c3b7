#pragma once
// The reader side of a recording: 5-byte frames from the data pipe, split anywhere by the
// transfers, become 10-bit samples, volts through the calibration pairs, averages of N, and
// points appended to the record; with the capacity rules, the one-day limit and auto-stop.
// Plain code with no allocation per read beyond a new chunk of the record now and then.

#include "RecorderCapacity.h"
#include "RecorderRecord.h"
#include "device/Calibration.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tesmar {

enum RecorderStatus : int {
    RecOk = 0,
    RecReadFailed = 1,       // read from the device failed
    RecNoMemoryAtStart = 2,  // reserving the memory at start failed
    RecMemoryFull = 3,       // capacity reached and not extendable
    RecNoMemoryToDraw = 4,   // the final time axis could not be made
    RecDayExceeded = 5,      // elapsed time reached one day
};

struct RecorderSettings {
    double pointPeriod = 1e-3;   // Tp, s
    int averaging = 1;           // N
    bool chAOn = true, chBOn = false;
    CalibrationPair pairA, pairB;
    bool eightBit = false;
    bool liveDisplay = true;
    std::optional<double> autoStopSeconds;
    bool dynamicMemory = false;

    int channels() const { return (chAOn ? 1 : 0) + (chBOn ? 1 : 0); }
    bool both() const { return chAOn && chBOn; }
};

class RecorderStream {
public:
    RecorderStream(const RecorderSettings& settings, MemoryProbe memory);

    // A finished recording of stored values (a data file): channel A at i·Tp, channel B half a
    // period later when both are there; the shorter channel sets the count. Null when the
    // memory is not there.
    static std::unique_ptr<RecorderStream> FromValues(double pointPeriod, const std::vector<double>* a,
                                                      const std::vector<double>* b);
    // The same with the values read in pieces straight into the record: `read` fills values
    // [first, first + out.size()) of a channel, false when it cannot. The summary grows with
    // every piece. Null when a count is missing for both, the memory is not there or a read fails.
    using ValueReader = std::function<bool(int channel, std::size_t first, std::span<double> out)>;
    static std::unique_ptr<RecorderStream> FromReader(double pointPeriod, std::optional<std::size_t> countA,
                                                      std::optional<std::size_t> countB, const ValueReader& read);

    // Sizes and reserves the record; false with status 2 (the record is then empty).
    bool prepare();

    // Decodes the bytes of one read. Frames continue across calls. Nothing is taken once the
    // recording has ended (a status, auto-stop or the one-day limit).
    void feed(const std::uint8_t* data, std::size_t length);
    // A read failed (status 1 unless a stop is under way: then the recording just ends).
    void readFailed(bool stopping);
    // Makes what was decoded visible to readers of the record.
    void publish();

    bool ended() const { return ended_; }
    bool autoStopped() const { return autoStopped_; }
    int status() const { return status_.load(std::memory_order_acquire); }
    // Elapsed recorded time, in days; readable from any thread.
    double elapsedDays() const { return elapsed_.load(std::memory_order_acquire); }

    RecorderRecord& record() { return record_; }
    const RecorderRecord& record() const { return record_; }
    const RecorderSettings& settings() const { return settings_; }
    const CapacityPlan& plan() const { return plan_; }

private:
    RecorderStream(const RecorderSettings& settings, MemoryProbe memory, std::size_t maxPoints);
    void frame(const std::uint8_t* f);
    void sample(int raw, int channel);
    void pair(int rawA, int rawB);
    void addPoint(double a, double b);
    void checkPoint();
    void planNextCheck();
    void fail(int status);

    RecorderSettings settings_;
    MemoryProbe memory_;
    RecorderRecord record_;
    CapacityPlan plan_;
    std::array<std::array<double, 1024>, 2> volts_{}; // raw → volts per channel
    int lowMask_ = 3;
    int single_ = 0;                                  // the channel of a one-channel record

    std::array<std::uint8_t, 5> carry_{};
    std::size_t carried_ = 0;
    double sumA_ = 0, sumB_ = 0;
    int summed_ = 0;

    std::size_t count_ = 0;
    std::size_t nextCheck_ = 0; // the next count at which a limit needs looking at
    std::size_t capacity_ = 0;
    std::size_t dayPoints_ = 0;
    std::size_t autoStopPoints_ = 0; // 0: none
    bool ended_ = false;
    bool autoStopped_ = false;
    std::atomic<int> status_{RecOk};
    std::atomic<double> elapsed_{0.0};
};

} // namespace tesmar
