#include "decoders/UartBaudEstimate.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

long long SnapUartBaud(double baud)
{
    for (int item : kUartBaudList)
        if (std::fabs(item - baud) / baud < 0.05)
            return item;
    return std::llround(baud);
}

namespace {

// `pass(visit)` goes through the line once, calling visit(i, level) for each sample i from 1 on
// at which the line changes, with its level from there on; `n` is the span of the line in
// samples.
template <class Pass> std::variant<long long, DecoderMessage> EstimateFromEdges(Pass&& pass, std::int64_t n, double period)
{
    // First pass: the narrowest low pulse between two edges.
    std::int64_t minWidth = n;
    int lowPulses = 0;
    std::int64_t previousEdge = 0;
    pass([&](std::int64_t i, bool level) {
        if (previousEdge > 0 && level) {
            minWidth = std::min(minWidth, i - previousEdge);
            ++lowPulses;
        }
        previousEdge = i;
    });
    if (lowPulses < 5)
        return DecoderMessage{Msg::strLanUartTdMore, {}};
    if (minWidth < 2)
        return DecoderMessage{Msg::strLanUartTdLess, {}};

    // Second pass: mean width of the one-bit pulses of each level.
    double lowSum = 0, highSum = 0;
    long long lowCount = 0, highCount = 0;
    previousEdge = 0;
    pass([&](std::int64_t i, bool level) {
        if (previousEdge > 0) {
            const auto width = static_cast<double>(i - previousEdge);
            if (width / static_cast<double>(minWidth) < 1.4) {
                if (level) {
                    lowSum += width;
                    ++lowCount;
                } else {
                    highSum += width;
                    ++highCount;
                }
            }
        }
        previousEdge = i;
    });
    // A line without one-bit pulses of one level (0xFF-heavy traffic, say) still has them at
    // the other; the mean of the level that has them is the bit width.
    double bitWidth = 0;
    if (lowCount > 0 && highCount > 0)
        bitWidth = (lowSum / lowCount + highSum / highCount) / 2;
    else if (lowCount > 0)
        bitWidth = lowSum / lowCount;
    else
        bitWidth = highSum / highCount;
    const double baud = 1.0 / (bitWidth * period);
    // A sample period so short that the rate is no whole number is as good as none.
    if (!(baud > 0) || baud > 1e15)
        return DecoderMessage{Msg::strLanUartTdLess, {}};
    return SnapUartBaud(baud);
}

} // namespace

std::variant<long long, DecoderMessage> EstimateUartBaud(const ChannelQueries& queries, int channel,
                                                         const std::string& channelName)
{
    const std::int64_t n = queries.samples(channel);
    const auto data = queries.data(channel);
    if (n <= 0 || data.empty())
        return DecoderMessage{Msg::strLanUartNoData, {channelName}};
    const std::uint8_t mask = ChannelQueries::lineMask(channel);
    const std::int64_t last = std::min<std::int64_t>(n, static_cast<std::int64_t>(data.size()));
    return EstimateFromEdges(
        [&](auto&& visit) {
            for (std::int64_t i = 1; i < last; ++i) {
                const bool level = data[i] & mask;
                if (level != static_cast<bool>(data[i - 1] & mask))
                    visit(i, level);
            }
        },
        n, queries.period(channel));
}

std::variant<long long, DecoderMessage> EstimateUartBaudEvents(LineEvents& events, const LineTiming& timing,
                                                               int channel, const std::string& channelName)
{
    // As a capture held sample by sample is read: the last sample is no edge.
    const std::int64_t n = timing.sampleCount - 1;
    if (n <= 0)
        return DecoderMessage{Msg::strLanUartNoData, {channelName}};
    bool restarted = true;
    auto result = EstimateFromEdges(
        [&](auto&& visit) {
            if (!events.restart()) {
                restarted = false;
                return;
            }
            std::int64_t at = 0;
            std::uint16_t levels = 0;
            bool was = false;
            while (events.next(at, levels) && at < n) {
                const bool level = ((levels >> channel) & 1u) != 0;
                if (level != was && at > 0)
                    visit(at, level);
                was = level;
            }
        },
        n, timing.period);
    if (!restarted)
        return DecoderMessage{Msg::strLanUartNoData, {channelName}};
    return result;
}

} // namespace tesmar
