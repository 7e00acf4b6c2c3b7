#pragma once
// A per-bus summary of a capture for drawing: for blocks of 64, 4096, 262 144 … samples the OR
// and the AND of all their bytes, so any range of samples tells in a few steps which lines stay
// low, which stay high and which change within it. Kept next to the samples (1/32 of their size).

#include <cstdint>
#include <span>
#include <vector>

namespace tesmar {

struct LineStates {
    std::uint8_t any = 0;    // OR: a line with its bit clear stays low
    std::uint8_t all = 0xFF; // AND: a line with its bit set stays high
    void add(const LineStates& s)
    {
        any |= s.any;
        all &= s.all;
    }
    void add(std::uint8_t sample)
    {
        any |= sample;
        all &= sample;
    }
    bool changes(int line) const { return ((any ^ all) >> line) & 1; }
    bool high(int line) const { return (all >> line) & 1; }
};

class LogicSummary {
public:
    static constexpr int kFanOut = 64;

    LogicSummary() = default;
    explicit LogicSummary(std::span<const std::uint8_t> samples) { build(samples); }
    void build(std::span<const std::uint8_t> samples);

    // The states of samples [first, last) of the capture it was built from.
    LineStates over(std::span<const std::uint8_t> samples, std::int64_t first, std::int64_t last) const;

    // Column c of `columns` covers samples [start + c·perColumn, start + (c + 1)·perColumn).
    std::vector<LineStates> columns(std::span<const std::uint8_t> samples, double start, double perColumn,
                                    int columns) const;

    std::size_t memoryBytes() const;

    // Level l holds the blocks of 64^(l+1) samples that lie wholly inside the capture.
    int levelCount() const { return static_cast<int>(levels_.size()); }
    const LineStates* block(int level, std::int64_t index) const
    {
        const auto& l = levels_[static_cast<std::size_t>(level)];
        return index >= 0 && index < static_cast<std::int64_t>(l.size()) ? &l[static_cast<std::size_t>(index)] : nullptr;
    }

private:
    std::vector<std::vector<LineStates>> levels_; // level l: blocks of 64^(l+1) samples
};

} // namespace tesmar
