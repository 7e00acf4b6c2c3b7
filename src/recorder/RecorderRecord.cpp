#include "RecorderRecord.h"

#include <algorithm>

namespace tesmar {

RecorderRecord::RecorderRecord(const RecordLayout& layout, std::size_t maxPoints)
    : layout_(layout),
      maxPoints_(maxPoints),
      channels_{RecordChannel(layout.chAOn ? maxPoints : 0), RecordChannel(layout.chBOn ? maxPoints : 0)}
{
}

void RecordChannel::summarise()
{
    pyramid_.update(values_, written_);
    // The sums run chunk by chunk over the values written since the last call.
    while (summed_ < written_) {
        const double* v = values_.chunkOf(summed_) + (summed_ & ChunkedValues::kChunkMask);
        const std::size_t n = std::min(written_ - summed_, ChunkedValues::kChunkSize - (summed_ & ChunkedValues::kChunkMask));
        double s = 0, a = 0;
        for (std::size_t i = 0; i < n; ++i) {
            s += v[i];
            a += std::fabs(v[i]);
        }
        sum_ += s;
        absSum_ += a;
        summed_ += n;
    }
}

bool RecorderRecord::reserve(std::size_t points) noexcept
{
    if (points > maxPoints_)
        return false;
    for (int ch = 0; ch < 2; ++ch)
        if (on(ch) && !channels_[ch].reserve(points))
            return false;
    return true;
}

std::size_t RecorderRecord::capacity() const
{
    const int ch = layout_.chAOn ? 0 : 1;
    return channels_[ch].capacity();
}

void RecorderRecord::release()
{
    publish(0);
    for (RecordChannel& c : channels_)
        c.release();
}

std::pair<std::size_t, std::size_t> RecorderRecord::indexRange(int channel, double from, double to) const
{
    const std::size_t n = count();
    if (n == 0 || to < from)
        return {0, 0};
    const double dt = dtDays();
    const double offset = timeOf(channel, 0);
    const double first = std::floor((from - offset) / dt) - 1;
    const double last = std::ceil((to - offset) / dt) + 2;
    const auto clampIndex = [n](double v) {
        return static_cast<std::size_t>(std::clamp(v, 0.0, static_cast<double>(n)));
    };
    return {clampIndex(first), clampIndex(last)};
}

} // namespace tesmar
