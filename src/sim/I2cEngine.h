#pragma once
// The terminal command of the virtual instrument: command 14 starts an I2C transfer as master or
// slave on the simulated bus (I2cBus), its 2-byte answer (bytes not transferred) comes once the
// transfer has taken its time on the bus, and command 6 then hands out the received bytes in
// two 512-byte parts. Data to send is what command 8 wrote to memory space 1 from address 0.

#include "AcquisitionEngine.h"
#include "I2cBus.h"
#include "SimClock.h"

#include <array>
#include <optional>

namespace tesmar {

class I2cEngine final : public AcquisitionEngine {
  public:
    // An instrument that waits as slave sees its master this long after the command.
    static constexpr int kMasterDelayUs = 20'000;

    explicit I2cEngine(const SimClock& clock) : clock_(clock) {}

    bool handles(std::uint8_t command) const override;
    void onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data,
                   InstrumentState& state) override;
    std::vector<std::uint8_t> produce(std::size_t length, std::int64_t nowUs) override;
    void stop() override;

    I2cBus& bus() { return bus_; }
    // Fault: a slave holds the clock low, so a transfer never ends.
    void setClockHeld(bool held) { clockHeld_ = held; }

  private:
    void startTransfer(const SetupPacket& setup, std::uint8_t mode, const InstrumentState& state);

    const SimClock& clock_;
    I2cBus bus_;
    bool active_ = false;
    bool clockHeld_ = false;
    std::optional<std::int64_t> answerAtUs_;
    std::uint16_t notTransferred_ = 0;
    std::array<std::uint8_t, 1024> received_{};
    std::optional<int> part_;
};

} // namespace tesmar
