#include "LogicSummary.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

void LogicSummary::build(std::span<const std::uint8_t> samples)
{
    levels_.clear();
    std::vector<LineStates> level((samples.size()) / kFanOut);
    for (std::size_t b = 0; b < level.size(); ++b) {
        LineStates s;
        const std::uint8_t* p = samples.data() + b * kFanOut;
        for (int i = 0; i < kFanOut; ++i)
            s.add(p[i]);
        level[b] = s;
    }
    while (!level.empty()) {
        std::vector<LineStates> next(level.size() / kFanOut);
        for (std::size_t b = 0; b < next.size(); ++b)
            for (int i = 0; i < kFanOut; ++i)
                next[b].add(level[b * kFanOut + i]);
        levels_.push_back(std::move(level));
        level = std::move(next);
    }
}

LineStates LogicSummary::over(std::span<const std::uint8_t> samples, std::int64_t first, std::int64_t last) const
{
    LineStates s;
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, static_cast<std::int64_t>(samples.size()));
    std::int64_t p = first;
    while (p < last) {
        bool used = false;
        // From the largest block that starts at p and fits, down to single samples.
        std::int64_t size = 1;
        for (std::size_t l = 0; l < levels_.size(); ++l)
            size *= kFanOut;
        for (std::size_t l = levels_.size(); l-- > 0; size /= kFanOut) {
            const std::int64_t block = p / size;
            if (p % size == 0 && p + size <= last && block < static_cast<std::int64_t>(levels_[l].size())) {
                s.add(levels_[l][static_cast<std::size_t>(block)]);
                p += size;
                used = true;
                break;
            }
        }
        if (!used)
            s.add(samples[static_cast<std::size_t>(p++)]);
    }
    return s;
}

std::vector<LineStates> LogicSummary::columns(std::span<const std::uint8_t> samples, double start, double perColumn,
                                              int columns) const
{
    std::vector<LineStates> out(static_cast<std::size_t>(std::max(columns, 0)));
    for (int c = 0; c < columns; ++c) {
        const auto a = static_cast<std::int64_t>(std::floor(start + c * perColumn));
        auto b = static_cast<std::int64_t>(std::floor(start + (c + 1) * perColumn));
        b = std::max(b, a + 1);
        out[c] = over(samples, a, b);
    }
    return out;
}

std::size_t LogicSummary::memoryBytes() const
{
    std::size_t n = 0;
    for (const auto& l : levels_)
        n += l.size() * sizeof(LineStates);
    return n;
}

} // namespace tesmar
