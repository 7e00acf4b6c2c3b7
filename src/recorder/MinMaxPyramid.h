#pragma once
// The min/max summary of a growing series: level 1 keeps the smallest and largest value of every
// block of 32 values, level 2 of every 32 level-1 blocks, and so on. The minimum and maximum of
// any index range then cost a few hundred steps however long the series, which is what lets a
// day-long record be drawn at screen resolution. Only complete blocks are summarised; the
// caller passes the series and the count it may read.

#include "ChunkedValues.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesmar {

struct MinMax {
    double min = 0.0, max = 0.0;
};

class MinMaxPyramid {
public:
    static constexpr std::size_t kBranchBits = 5;
    static constexpr std::size_t kBranch = std::size_t{1} << kBranchBits; // 32

    // Sized for a series of at most `maxValues`.
    explicit MinMaxPyramid(std::size_t maxValues = 0);

    // Grows the levels for a series of `count` values; false when memory runs out.
    bool reserve(std::size_t count) noexcept;
    void release();

    // The writer has stored values up to `count` in `series`: summarise the blocks completed by
    // them. Called with counts that only grow.
    void update(const ChunkedValues& series, std::size_t count);

    // Min and max of series[first, last), first < last ≤ the count of the last update (read
    // from another thread: a count published after that update).
    MinMax range(const ChunkedValues& series, std::size_t first, std::size_t last) const;

    int levels() const { return static_cast<int>(levels_.size()); }

private:
    struct Level {
        ChunkedValues min, max;
        std::size_t count = 0; // complete blocks summarised
    };
    void summariseLevel(std::size_t level, const ChunkedValues* belowMin, const ChunkedValues* belowMax,
                        std::size_t belowCount);

    std::vector<Level> levels_; // levels_[k] has blocks of 32^(k+1) values
};

} // namespace tesmar
