#include "LogicSearch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tesmar {

namespace {

std::int64_t BlockSize(int level)
{
    std::int64_t size = LogicSummary::kFanOut;
    for (int l = 0; l < level; ++l)
        size *= LogicSummary::kFanOut;
    return size;
}

// First index ≥ from whose sample matches; blocks of the summary for which `none` says no sample
// can match are passed over whole.
template<class None, class Match>
std::optional<std::int64_t> FirstForward(std::span<const std::uint8_t> s, const LogicSummary* summary,
                                         std::int64_t from, None none, Match match)
{
    const auto n = static_cast<std::int64_t>(s.size());
    constexpr std::int64_t fan = LogicSummary::kFanOut;
    std::int64_t i = std::max<std::int64_t>(from, 0);
    while (i < n) {
        if (summary && i % fan == 0) {
            bool skipped = false;
            for (int l = summary->levelCount() - 1; l >= 0 && !skipped; --l) {
                const std::int64_t size = BlockSize(l);
                if (i % size != 0)
                    continue;
                const LineStates* b = summary->block(l, i / size);
                if (b && none(*b)) {
                    i += size;
                    skipped = true;
                }
            }
            if (skipped)
                continue;
            const std::int64_t end = std::min(n, i + fan);
            for (; i < end; ++i)
                if (match(s[static_cast<std::size_t>(i)]))
                    return i;
            continue;
        }
        if (match(s[static_cast<std::size_t>(i)]))
            return i;
        ++i;
    }
    return std::nullopt;
}

// Last index ≤ from whose sample matches.
template<class None, class Match>
std::optional<std::int64_t> LastBackward(std::span<const std::uint8_t> s, const LogicSummary* summary,
                                         std::int64_t from, None none, Match match)
{
    constexpr std::int64_t fan = LogicSummary::kFanOut;
    std::int64_t i = std::min<std::int64_t>(from, static_cast<std::int64_t>(s.size()) - 1);
    while (i >= 0) {
        if (summary && (i + 1) % fan == 0) {
            bool skipped = false;
            for (int l = summary->levelCount() - 1; l >= 0 && !skipped; --l) {
                const std::int64_t size = BlockSize(l);
                if ((i + 1) % size != 0)
                    continue;
                const LineStates* b = summary->block(l, (i + 1) / size - 1);
                if (b && none(*b)) {
                    i -= size;
                    skipped = true;
                }
            }
            if (skipped)
                continue;
            const std::int64_t end = i - fan;
            for (; i > end; --i)
                if (match(s[static_cast<std::size_t>(i)]))
                    return i;
            continue;
        }
        if (match(s[static_cast<std::size_t>(i)]))
            return i;
        --i;
    }
    return std::nullopt;
}

// The next (or previous) sample with the line at the given level.
std::optional<std::int64_t> FindLevel(std::span<const std::uint8_t> s, const LogicSummary* summary,
                                      std::int64_t from, bool forward, std::uint8_t mask, bool high)
{
    auto none = [mask, high](const LineStates& b) { return high ? (b.any & mask) == 0 : (b.all & mask) != 0; };
    auto match = [mask, high](std::uint8_t v) { return ((v & mask) != 0) == high; };
    return forward ? FirstForward(s, summary, from, none, match) : LastBackward(s, summary, from, none, match);
}

std::optional<std::int64_t> FindValue(std::span<const std::uint8_t> s, const LogicSummary* summary,
                                      const LogicSearchRequest& r, std::int64_t i)
{
    const std::uint8_t v = r.value;
    if (r.skipGroup) {
        // The rest of the run of samples equal to the value.
        auto none = [v](const LineStates& b) { return b.any == v && b.all == v; };
        auto differs = [v](std::uint8_t x) { return x != v; };
        const auto other = r.forward ? FirstForward(s, summary, i, none, differs)
                                     : LastBackward(s, summary, i, none, differs);
        if (!other)
            return std::nullopt;
        i = *other;
    }
    const std::uint8_t* data = s.data();
    if (r.forward) {
        const auto* p = static_cast<const std::uint8_t*>(std::memchr(data + i, v, s.size() - static_cast<std::size_t>(i)));
        if (p)
            return p - data;
        return std::nullopt;
    }
    const auto* p = static_cast<const std::uint8_t*>(memrchr(data, v, static_cast<std::size_t>(i) + 1));
    if (p)
        return p - data;
    return std::nullopt;
}

std::optional<std::int64_t> FindEdge(std::span<const std::uint8_t> s, const LogicSummary* summary,
                                     const LogicSearchRequest& r, std::int64_t i0)
{
    const std::uint8_t mask = r.lineMask;
    if (r.edge == LogicEdge::Any) {
        const bool level = (s[static_cast<std::size_t>(i0)] & mask) != 0;
        if (r.forward)
            return FindLevel(s, summary, i0 + 1, true, mask, !level);
        const auto j = FindLevel(s, summary, i0 - 1, false, mask, !level);
        return j ? std::optional<std::int64_t>(*j + 1) : std::nullopt;
    }
    // A rising edge is the first high sample after a low one; a falling edge the reverse.
    const bool after = r.edge == LogicEdge::Rising;
    if (r.forward) {
        const auto before = FindLevel(s, summary, i0, true, mask, !after);
        if (!before)
            return std::nullopt;
        return FindLevel(s, summary, *before + 1, true, mask, after);
    }
    const auto last = FindLevel(s, summary, i0, false, mask, after);
    if (!last)
        return std::nullopt;
    const auto before = FindLevel(s, summary, *last - 1, false, mask, !after);
    return before ? std::optional<std::int64_t>(*before + 1) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> FindInCapture(std::span<const std::uint8_t> samples, const LogicSummary* summary,
                                          const LogicSearchRequest& request)
{
    const auto n = static_cast<std::int64_t>(samples.size());
    std::int64_t i0 = std::max<std::int64_t>(request.start, 0);
    if (n == 0 || (request.forward && i0 >= n))
        return std::nullopt;
    i0 = std::min(i0, n - 1);
    return request.byValue ? FindValue(samples, summary, request, i0) : FindEdge(samples, summary, request, i0);
}

LogicSearchStart SearchStartFrom(std::optional<std::int64_t> hit, double markerX, double firstX, double step,
                                 bool forward, bool skipGroupOption)
{
    LogicSearchStart start;
    if (hit) {
        start.index = *hit + (forward ? 1 : -1);
        start.skipGroup = skipGroupOption;
    } else if (step > 0 && std::isfinite(markerX) && std::isfinite(firstX)) {
        const double i = std::trunc((markerX - firstX) / step);
        start.index = i > 9e18 ? std::int64_t{9'000'000'000'000'000'000} : static_cast<std::int64_t>(std::max(i, 0.0));
    }
    start.index = std::max<std::int64_t>(start.index, 0);
    return start;
}

} // namespace tesmar
