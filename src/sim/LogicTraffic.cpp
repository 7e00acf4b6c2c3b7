#include "LogicTraffic.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

LineGroup::LineGroup(std::vector<int> lines, std::vector<bool> idle) : lines_(std::move(lines))
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        mask_ |= static_cast<std::uint8_t>(1u << lines_[i]);
        if (i < idle.size() && idle[i])
            initial_ |= static_cast<std::uint8_t>(1u << lines_[i]);
    }
    current_ = initial_;
}

void LineGroup::set(int line, bool level)
{
    const auto bit = static_cast<std::uint8_t>(1u << line);
    const std::uint8_t next = level ? (current_ | bit) : (current_ & ~bit);
    if (next == current_)
        return;
    current_ = next;
    if (!changes_.empty() && changes_.back().at == now_)
        changes_.back().bits = current_;
    else
        changes_.push_back({now_, current_});
}

void LineGroup::hold(std::int64_t ns)
{
    now_ += std::max<std::int64_t>(ns, 0);
}

void LineGroup::close()
{
    period_ = std::max<std::int64_t>(now_, 1);
}

std::uint8_t LineGroup::bitsAt(std::int64_t t) const
{
    const std::int64_t phase = t % period_;
    // The last change at or before the phase; before the first one the initial levels hold.
    auto it = std::upper_bound(changes_.begin(), changes_.end(), phase,
                               [](std::int64_t v, const Change& c) { return v < c.at; });
    return it == changes_.begin() ? initial_ : std::prev(it)->bits;
}

LineGroup UartTraffic(int line, int baud, const std::vector<std::uint8_t>& bytes, std::int64_t gapNs)
{
    LineGroup g({line}, {true});
    const auto bit = static_cast<std::int64_t>(std::llround(1e9 / baud));
    g.hold(gapNs);
    for (std::uint8_t b : bytes) {
        g.set(line, false);
        g.hold(bit);
        for (int k = 0; k < 8; ++k) {
            g.set(line, (b >> k) & 1);
            g.hold(bit);
        }
        g.set(line, true);
        g.hold(bit * 2);
    }
    g.close();
    return g;
}

LineGroup SpiTraffic(int sck, int mosi, int miso, int cs, int clockHz, const std::vector<std::uint8_t>& out,
                     const std::vector<std::uint8_t>& in, std::int64_t gapNs)
{
    // Mode 0, most significant bit first: data set while the clock is low, read on its rise.
    std::vector<int> lines = {sck, mosi, miso};
    std::vector<bool> idle = {false, false, false};
    if (cs >= 0) {
        lines.push_back(cs);
        idle.push_back(true);
    }
    LineGroup g(lines, idle);
    const auto half = static_cast<std::int64_t>(std::llround(5e8 / clockHz));
    g.hold(gapNs);
    if (cs >= 0) {
        g.set(cs, false); // selected half a clock before the first edge
        g.hold(half);
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        for (int k = 7; k >= 0; --k) {
            g.set(mosi, (out[i] >> k) & 1);
            g.set(miso, i < in.size() && ((in[i] >> k) & 1));
            g.hold(half);
            g.set(sck, true);
            g.hold(half);
            g.set(sck, false);
        }
        g.hold(half * 2);
    }
    g.set(mosi, false);
    g.set(miso, false);
    if (cs >= 0)
        g.set(cs, true);
    g.close();
    return g;
}

namespace {

// One I2C bit: SDA while SCL is low, then a clock pulse.
void I2cBit(LineGroup& g, int scl, int sda, bool level, std::int64_t quarter)
{
    g.set(sda, level);
    g.hold(quarter);
    g.set(scl, true);
    g.hold(quarter * 2);
    g.set(scl, false);
    g.hold(quarter);
}

void I2cByte(LineGroup& g, int scl, int sda, std::uint8_t value, bool ack, std::int64_t quarter)
{
    for (int k = 7; k >= 0; --k)
        I2cBit(g, scl, sda, (value >> k) & 1, quarter);
    I2cBit(g, scl, sda, !ack, quarter); // the receiver pulls SDA low to acknowledge
}

void I2cStart(LineGroup& g, int scl, int sda, std::int64_t quarter)
{
    g.set(sda, true);
    g.hold(quarter);
    g.set(scl, true);
    g.hold(quarter);
    g.set(sda, false);
    g.hold(quarter);
    g.set(scl, false);
    g.hold(quarter);
}

} // namespace

LineGroup I2cTraffic(int scl, int sda, int clockHz, std::uint8_t address, std::uint8_t reg,
                     const std::vector<std::uint8_t>& data, std::int64_t gapNs)
{
    LineGroup g({scl, sda}, {true, true});
    const auto quarter = static_cast<std::int64_t>(std::llround(2.5e8 / clockHz));
    g.hold(gapNs);
    I2cStart(g, scl, sda, quarter);
    I2cByte(g, scl, sda, static_cast<std::uint8_t>(address << 1), true, quarter);
    I2cByte(g, scl, sda, reg, true, quarter);
    I2cStart(g, scl, sda, quarter); // repeated START
    I2cByte(g, scl, sda, static_cast<std::uint8_t>(address << 1 | 1), true, quarter);
    for (std::size_t i = 0; i < data.size(); ++i)
        I2cByte(g, scl, sda, data[i], i + 1 < data.size(), quarter); // the master NACKs the last
    g.set(sda, false); // STOP: SDA rises while SCL is high
    g.hold(quarter);
    g.set(scl, true);
    g.hold(quarter);
    g.set(sda, true);
    g.hold(quarter * 4);
    g.close();
    return g;
}

namespace {

constexpr std::int64_t kUs = 1000;

void OneWireWriteBit(LineGroup& g, int line, bool bit)
{
    g.set(line, false);
    g.hold((bit ? 6 : 60) * kUs);
    g.set(line, true);
    g.hold((bit ? 64 : 10) * kUs);
}

// The master's 6 µs low; the slave holds the line low on for a 0.
void OneWireReadBit(LineGroup& g, int line, bool bit)
{
    g.set(line, false);
    g.hold((bit ? 6 : 30) * kUs);
    g.set(line, true);
    g.hold((bit ? 64 : 40) * kUs);
}

} // namespace

LineGroup OneWireTraffic(int line, const std::vector<std::uint8_t>& scratchpad, std::int64_t gapNs)
{
    LineGroup g({line}, {true});
    g.hold(gapNs);
    g.set(line, false); // reset
    g.hold(480 * kUs);
    g.set(line, true);
    g.hold(30 * kUs);
    g.set(line, false); // presence
    g.hold(120 * kUs);
    g.set(line, true);
    // The presence phase lasts 480 µs; a real master leaves a little recovery after it before
    // its first slot, and decoders that time the phase need that gap to see the slot.
    g.hold(330 * kUs + 20 * kUs);
    for (std::uint8_t command : {std::uint8_t{0xCC}, std::uint8_t{0xBE}})
        for (int k = 0; k < 8; ++k)
            OneWireWriteBit(g, line, (command >> k) & 1);
    for (std::uint8_t b : scratchpad)
        for (int k = 0; k < 8; ++k)
            OneWireReadBit(g, line, (b >> k) & 1);
    g.hold(1000 * kUs);
    g.close();
    return g;
}

LineGroup SquareWave(int line, double hz)
{
    LineGroup g({line}, {false});
    const auto half = static_cast<std::int64_t>(std::llround(5e8 / hz));
    g.set(line, true);
    g.hold(half);
    g.set(line, false);
    g.hold(half);
    g.close();
    return g;
}

std::vector<std::uint8_t> ThermometerScratchpad(double celsius)
{
    const auto raw = static_cast<std::int16_t>(std::lround(celsius * 16));
    std::vector<std::uint8_t> pad = {static_cast<std::uint8_t>(raw & 0xFF), static_cast<std::uint8_t>(raw >> 8),
                                     0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10};
    // Dallas CRC-8 (x^8 + x^5 + x^4 + 1), least significant bit first.
    std::uint8_t crc = 0;
    for (std::uint8_t b : pad)
        for (int k = 0; k < 8; ++k) {
            const bool mix = ((crc ^ (b >> k)) & 1) != 0;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
        }
    pad.push_back(crc);
    return pad;
}

} // namespace tesmar
