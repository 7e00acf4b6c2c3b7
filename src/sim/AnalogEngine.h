#pragma once
// The analogue side of the virtual instrument: command 5 starts a buffer record or an endless
// stream with the 12-byte block, command 6 hands out the parts of a finished buffer frame.
// Paced by the instrument clock: a buffer frame is readable once the pre-trigger ring, the wait
// for the trigger and the rest of the record have taken their time at the block's rate, and
// stream bytes become readable as their samples are taken.

#include "AcquisitionEngine.h"
#include "AnalogScene.h"
#include "BufferCapture.h"
#include "ConverterSequence.h"
#include "SimClock.h"
#include "device/AnalogBlock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace tesmar {

class VirtualInstrument;

class AnalogEngine final : public AcquisitionEngine {
public:
    explicit AnalogEngine(const SimClock& clock, AnalogScene scene = {});

    // The scene in force from the next command 5 on; callable from any thread.
    void setScene(const AnalogScene& scene);
    AnalogScene scene() const;

    // AcquisitionEngine; called with the instrument's lock held.
    bool handles(std::uint8_t command) const override;
    void onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data, InstrumentState& state) override;
    std::vector<std::uint8_t> produce(std::size_t length, std::int64_t nowUs) override;
    void stop() override;

private:
    enum class Mode { Idle, Buffer, Stream };

    void start(const SetupPacket& setup, const std::vector<std::uint8_t>& data, const InstrumentState& state);
    void selectPart(std::uint16_t part);
    bool advanceCapture(std::int64_t nowUs);
    std::vector<std::uint8_t> produceBufferPart(std::size_t length);
    std::vector<std::uint8_t> produceStream(std::size_t length, std::int64_t nowUs);
    std::uint8_t streamByte(std::int64_t position);

    const SimClock& clock_;
    mutable std::mutex sceneMutex_;
    AnalogScene scene_;

    Mode mode_ = Mode::Idle;
    std::optional<ConverterSequence> sequence_;
    bool neverTrigger_ = false;
    // Buffer mode
    std::optional<BufferCapture> capture_;
    int part_ = 0;
    std::size_t partSent_ = 0;
    // Stream mode
    std::int64_t streamSent_ = 0;
    std::int64_t packedGroup_ = -1;
    std::array<std::uint8_t, 5> packed_{};
};

// Adds the analogue engine to the instrument; the reference stays valid as long as the instrument.
AnalogEngine& InstallAnalogEngine(VirtualInstrument& instrument, AnalogScene scene = {});

} // namespace tesmar
