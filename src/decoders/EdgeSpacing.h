#pragma once
// The mean distance between the edges of a clock line, in samples, as its edges come by.

#include <cstdint>

namespace tesmar {

class EdgeSpacing {
public:
    void add(std::int64_t edge)
    {
        if (previous_ >= 0) {
            sum_ += edge - previous_;
            ++intervals_;
        }
        previous_ = edge;
    }
    // 0 with at most one edge.
    double mean() const { return intervals_ > 0 ? static_cast<double>(sum_) / static_cast<double>(intervals_) : 0.0; }

private:
    std::int64_t previous_ = -1;
    std::int64_t sum_ = 0;
    std::int64_t intervals_ = 0;
};

// The same over samples [0, count) held in memory, the line being bit `mask` of each byte: a
// clock edge at every sample whose level differs from the one before.
inline double MeanEdgeSpacing(const std::uint8_t* data, std::int64_t count, std::uint8_t mask)
{
    EdgeSpacing spacing;
    for (std::int64_t i = 0; i + 1 < count; ++i)
        if ((data[i] ^ data[i + 1]) & mask)
            spacing.add(i + 1);
    return spacing.mean();
}

} // namespace tesmar
