#include "StreamedLines.h"

namespace tesmar {

StreamLineEvents::StreamLineEvents(ChangeStream& stream, std::initializer_list<std::optional<int>> channels,
                                   const ReadProgress& progress)
    : stream_(stream), progress_(stream.changesKept() ? ReadProgress() : progress), count_(stream.sampleCount())
{
    for (const auto& channel : channels)
        if (channel)
            watched_ |= 1u << *channel;
}

bool StreamLineEvents::restart()
{
    levels_ = given_ = 0;
    pending_ = ended_ = false;
    sinceProgress_ = 0;
    return stream_.restart();
}

bool StreamLineEvents::next(std::int64_t& at, std::uint16_t& levels)
{
    SampleChange change{};
    while (!ended_ && stream_.next(change)) {
        if (progress_ && ++sinceProgress_ == 65536) {
            sinceProgress_ = 0;
            progress_(stream_.passDone(), stream_.passTotal());
        }
        if (change.channel < 0 || !((watched_ >> change.channel) & 1u))
            continue;
        // Past the last sample nothing changes any more.
        if (change.index >= count_) {
            ended_ = true;
            break;
        }
        // Several changes on one sample count as their last: a sample is given out once the
        // next one begins.
        const bool give = pending_ && change.index != pendingAt_ && levels_ != given_;
        const std::int64_t was = pendingAt_;
        const std::uint16_t wasLevels = levels_;
        const auto bit = static_cast<std::uint16_t>(1u << change.channel);
        levels_ = change.level ? static_cast<std::uint16_t>(levels_ | bit) : static_cast<std::uint16_t>(levels_ & ~bit);
        pending_ = true;
        pendingAt_ = change.index;
        if (give) {
            given_ = wasLevels;
            at = was;
            levels = wasLevels;
            return true;
        }
    }
    ended_ = true;
    if (pending_) {
        pending_ = false;
        if (levels_ != given_) {
            given_ = levels_;
            at = pendingAt_;
            levels = levels_;
            return true;
        }
    }
    return false;
}

bool CountStreamedEdges(ChangeStream& stream, std::array<std::int64_t, 16>& edges, const ReadProgress& progress)
{
    edges.fill(0);
    StreamLineEvents events(stream, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, progress);
    if (!events.restart())
        return false;
    std::int64_t at = 0;
    std::uint16_t levels = 0, before = 0;
    while (events.next(at, levels)) {
        // A line high from sample 0 on has no edge there.
        if (at > 0)
            for (int c = 0; c < 16; ++c)
                edges[static_cast<std::size_t>(c)] += ((levels ^ before) >> c) & 1u;
        before = levels;
    }
    return stream.problem().empty();
}

LineTiming StreamTiming(const ChangeStream& stream)
{
    return {stream.samplePeriod(), stream.firstSampleTime(), stream.sampleCount()};
}

} // namespace tesmar
