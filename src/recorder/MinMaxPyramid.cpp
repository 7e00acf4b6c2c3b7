#include "MinMaxPyramid.h"

#include <algorithm>

namespace tesmar {

MinMaxPyramid::MinMaxPyramid(std::size_t maxValues)
{
    std::size_t blocks = maxValues >> kBranchBits;
    while (blocks > 0) {
        levels_.push_back(Level{ChunkedValues(blocks), ChunkedValues(blocks), 0});
        blocks >>= kBranchBits;
    }
}

bool MinMaxPyramid::reserve(std::size_t count) noexcept
{
    std::size_t blocks = count >> kBranchBits;
    for (Level& level : levels_) {
        const std::size_t want = std::min(blocks, level.min.maxValues());
        if (!level.min.reserve(want) || !level.max.reserve(want))
            return false;
        blocks >>= kBranchBits;
    }
    return true;
}

void MinMaxPyramid::release()
{
    for (Level& level : levels_) {
        level.min.release();
        level.max.release();
        level.count = 0;
    }
}

void MinMaxPyramid::update(const ChunkedValues& series, std::size_t count)
{
    if (levels_.empty())
        return;
    Level& first = levels_[0];
    const std::size_t complete = std::min(count >> kBranchBits, first.min.capacity());
    for (std::size_t b = first.count; b < complete; ++b) {
        // A block of 32 lies inside one chunk of the series.
        const double* v = series.chunkOf(b << kBranchBits) + ((b << kBranchBits) & ChunkedValues::kChunkMask);
        double lo = v[0], hi = v[0];
        for (std::size_t k = 1; k < kBranch; ++k) {
            lo = std::min(lo, v[k]);
            hi = std::max(hi, v[k]);
        }
        first.min[b] = lo;
        first.max[b] = hi;
    }
    if (complete <= first.count)
        return;
    first.count = complete;
    for (std::size_t k = 1; k < levels_.size(); ++k)
        summariseLevel(k, &levels_[k - 1].min, &levels_[k - 1].max, levels_[k - 1].count);
}

void MinMaxPyramid::summariseLevel(std::size_t index, const ChunkedValues* belowMin, const ChunkedValues* belowMax,
                                   std::size_t belowCount)
{
    Level& level = levels_[index];
    const std::size_t complete = std::min(belowCount >> kBranchBits, level.min.capacity());
    for (std::size_t b = level.count; b < complete; ++b) {
        const std::size_t start = b << kBranchBits;
        const double* lo = belowMin->chunkOf(start) + (start & ChunkedValues::kChunkMask);
        const double* hi = belowMax->chunkOf(start) + (start & ChunkedValues::kChunkMask);
        double l = lo[0], h = hi[0];
        for (std::size_t k = 1; k < kBranch; ++k) {
            l = std::min(l, lo[k]);
            h = std::max(h, hi[k]);
        }
        level.min[b] = l;
        level.max[b] = h;
    }
    level.count = std::max(level.count, complete);
}

MinMax MinMaxPyramid::range(const ChunkedValues& series, std::size_t first, std::size_t last) const
{
    MinMax out{series[first], series[first]};
    std::size_t i = first;
    while (i < last) {
        // The largest summarised block that starts at i and ends within the range.
        std::size_t level = 0;
        std::size_t size = 1;
        while (level < levels_.size()) {
            const std::size_t next = size << kBranchBits;
            if (i % next != 0 || i + next > last)
                break;
            size = next;
            ++level;
        }
        if (level == 0) {
            const double v = series[i];
            out.min = std::min(out.min, v);
            out.max = std::max(out.max, v);
            ++i;
        } else {
            const Level& l = levels_[level - 1];
            const std::size_t block = i / size;
            out.min = std::min(out.min, l.min[block]);
            out.max = std::max(out.max, l.max[block]);
            i += size;
        }
    }
    return out;
}

} // namespace tesmar
