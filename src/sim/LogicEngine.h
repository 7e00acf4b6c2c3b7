#pragma once
// The logic side of the virtual instrument: command 7 with its 9-byte block starts a capture
// (every rate code), command 6 hands out the parts of a buffered one, command 9 releases the
// generator's outputs. Buffered captures wait for their trigger (mask, edge, after skipped
// pulses) in the scene's signals and come out in the device's layout: ring pointer in byte 136
// of the head, bus A in reversed bit order, 16-line captures alternating A, B. Streams pace
// 512-byte blocks at the sample rate.

#include "AcquisitionEngine.h"
#include "LogicScene.h"
#include "SimClock.h"
#include "device/LogicBlock.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace tesmar {

class VirtualInstrument;

class LogicEngine final : public AcquisitionEngine {
public:
    LogicEngine(const SimClock& clock, LogicScene scene);

    void setScene(LogicScene scene);

    bool handles(std::uint8_t command) const override;
    void onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data, InstrumentState& state) override;
    std::vector<std::uint8_t> produce(std::size_t length, std::int64_t nowUs) override;
    void stop() override;

    // How far a buffered capture looks for its trigger before it gives up waiting.
    static constexpr double kTriggerSearchSeconds = 2.0;

private:
    struct Settings {
        int rateCode = 5;
        bool sixteen = false, generator = false, cyclic = false, external = false, keepOutputs = false;
        bool triggerOn = false, mask = false, rising = false, onBusA = false;
        std::uint8_t b4 = 0, value = 0, care = 0, pre = 0, skipBit = 0;
        bool skip = false, skipOnBusA = false, skipRising = false;
        int skipCount = 0;
        double rate = 1e6;
        // Edge trigger of the fast rates: item of the B.0 … B.7 list in byte 4, +8 rising;
        // none when byte 4 holds no such code.
        std::optional<int> fastEdgeLine;
        bool fastEdgeRising = false;
    };
    Settings parse(const SetupPacket& setup, const std::vector<std::uint8_t>& block) const;
    std::int64_t sampleTime(std::int64_t n) const; // ns
    std::uint8_t rawA(std::int64_t n) const;       // device order
    std::uint8_t busB(std::int64_t n) const;
    bool edge(std::uint8_t before, std::uint8_t after, std::uint8_t bit, bool rising) const;
    std::optional<std::int64_t> findTrigger(std::int64_t from) const;
    void buildBuffer();

    const SimClock& clock_;
    mutable std::mutex sceneMutex_;
    LogicScene scene_;

    enum class Mode { Idle, Buffer, Stream } mode_ = Mode::Idle;
    Settings settings_;
    GeneratorImage generator_{};
    std::int64_t startNs_ = 0;
    // Buffer
    std::optional<std::int64_t> readyNs_; // none: the trigger never comes
    std::array<std::uint8_t, 137> head_{};
    std::array<std::uint8_t, 1408> body_{};
    int part_ = 0;
    bool partSent_ = false;
    // Stream
    std::int64_t streamSent_ = 0;
};

LogicEngine& InstallLogicEngine(VirtualInstrument& instrument, LogicScene scene = LogicScene::Default());

} // namespace tesmar
