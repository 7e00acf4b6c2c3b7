#pragma once
// Digital signals of the virtual instrument's logic inputs: each protocol drives its own lines
// with a pattern that repeats, described as transitions in nanoseconds.

#include <cstdint>
#include <vector>

namespace tesmar {

// Several lines that change together, repeating every `period` ns.
class LineGroup {
public:
    // Lines are bit numbers of the bus; all start at their idle levels.
    LineGroup(std::vector<int> lines, std::vector<bool> idle);

    // Builders: set a line's level from now on, then let `ns` pass.
    void set(int line, bool level);
    void hold(std::int64_t ns);
    // Ends the pattern: it repeats from the start after the time held so far.
    void close();

    // The bus bits this group drives at time t (ns, any value ≥ 0), and the mask of its lines.
    std::uint8_t bitsAt(std::int64_t t) const;
    std::uint8_t mask() const { return mask_; }
    std::int64_t period() const { return period_; }

private:
    struct Change {
        std::int64_t at;
        std::uint8_t bits; // the group's bits from `at` on
    };
    std::vector<int> lines_;
    std::uint8_t mask_ = 0;
    std::uint8_t current_ = 0;
    std::uint8_t initial_ = 0;
    std::int64_t now_ = 0;
    std::int64_t period_ = 1;
    std::vector<Change> changes_;
};

// Builders of the default scene's traffic (times in ns).
LineGroup UartTraffic(int line, int baud, const std::vector<std::uint8_t>& bytes, std::int64_t gapNs);
// One transfer framed by an active-low chip select `cs` (a line number, or -1 for none).
LineGroup SpiTraffic(int sck, int mosi, int miso, int cs, int clockHz, const std::vector<std::uint8_t>& out,
                     const std::vector<std::uint8_t>& in, std::int64_t gapNs);
// A write of `reg` to `address`, then a read of `data` back (the slave acknowledges).
LineGroup I2cTraffic(int scl, int sda, int clockHz, std::uint8_t address, std::uint8_t reg,
                     const std::vector<std::uint8_t>& data, std::int64_t gapNs);
// Reset, presence, SKIP ROM (0xCC), READ SCRATCHPAD (0xBE) and the thermometer's 9 bytes.
LineGroup OneWireTraffic(int line, const std::vector<std::uint8_t>& scratchpad, std::int64_t gapNs);
LineGroup SquareWave(int line, double hz);

// The thermometer's scratchpad for a temperature (°C), with its CRC.
std::vector<std::uint8_t> ThermometerScratchpad(double celsius);

} // namespace tesmar
