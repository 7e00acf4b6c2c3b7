#include "logic/LogicSearch.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace tesmar;

// The search written out sample by sample, as a reference for the fast one.
std::optional<std::int64_t> Reference(const std::vector<std::uint8_t>& s, const LogicSearchRequest& r)
{
    const auto n = static_cast<std::int64_t>(s.size());
    std::int64_t i0 = std::max<std::int64_t>(r.start, 0);
    if (n == 0 || (r.forward && i0 >= n))
        return std::nullopt;
    i0 = std::min(i0, n - 1);
    bool skipping = r.skipGroup;
    auto edge = [&](std::uint8_t p, std::uint8_t c) {
        p &= r.lineMask;
        c &= r.lineMask;
        switch (r.edge) {
        case LogicEdge::Rising: return p == 0 && c != 0;
        case LogicEdge::Falling: return p != 0 && c == 0;
        default: return p != c;
        }
    };
    std::uint8_t other = s[static_cast<std::size_t>(i0)];
    for (std::int64_t i = i0; r.forward ? i < n : i >= 0; i += r.forward ? 1 : -1) {
        const std::uint8_t v = s[static_cast<std::size_t>(i)];
        if (r.byValue) {
            if (v != r.value)
                skipping = false;
            else if (!skipping)
                return i;
        } else if (r.forward ? edge(other, v) : edge(v, other)) {
            return r.forward ? i : i + 1;
        } else {
            other = v;
        }
    }
    return std::nullopt;
}

LogicSearchRequest Value(std::uint8_t v, bool forward, std::int64_t start, bool skip = false)
{
    LogicSearchRequest r;
    r.value = v;
    r.forward = forward;
    r.start = start;
    r.skipGroup = skip;
    return r;
}

LogicSearchRequest Edge(LogicEdge e, int line, bool forward, std::int64_t start)
{
    LogicSearchRequest r;
    r.byValue = false;
    r.edge = e;
    r.lineMask = static_cast<std::uint8_t>(1u << line);
    r.forward = forward;
    r.start = start;
    return r;
}

TEST(LogicSearch, GroupSkippingPassesTheRestOfARun)
{
    std::vector<std::uint8_t> s(300, 0x00);
    std::fill(s.begin() + 100, s.begin() + 150, 0x05);
    // First search from marker 1 at sample 0: the hit is the start itself.
    EXPECT_EQ(FindInCapture(s, nullptr, Value(0, true, 0)), 0);
    // Continuing with skipping: the rest of the first run of zeros is passed over.
    EXPECT_EQ(FindInCapture(s, nullptr, Value(0, true, 1, true)), 150);
    // Without skipping every matching sample is a hit.
    EXPECT_EQ(FindInCapture(s, nullptr, Value(0, true, 1, false)), 1);
    // Backward, skipping the run that ends at 299.
    EXPECT_EQ(FindInCapture(s, nullptr, Value(0, false, 298, true)), 99);
    EXPECT_EQ(FindInCapture(s, nullptr, Value(5, true, 150)), std::nullopt);
}

TEST(LogicSearch, EdgesAndStartRules)
{
    //                            0  1  2  3  4  5  6
    const std::vector<std::uint8_t> s{0, 0, 8, 8, 0, 0, 8};
    struct Case {
        LogicSearchRequest r;
        std::optional<std::int64_t> hit;
    } cases[] = {
        {Edge(LogicEdge::Rising, 3, true, 0), 2},
        {Edge(LogicEdge::Rising, 3, true, 2), 6},  // never a hit on the start sample
        {Edge(LogicEdge::Falling, 3, true, 0), 4},
        {Edge(LogicEdge::Any, 3, true, 2), 4},
        {Edge(LogicEdge::Rising, 3, false, 2), 2}, // start right after the edge reports it
        {Edge(LogicEdge::Rising, 3, false, 1), std::nullopt},
        {Edge(LogicEdge::Falling, 3, false, 6), 4},
        {Edge(LogicEdge::Any, 3, false, 5), 4},
        {Edge(LogicEdge::Any, 2, true, 0), std::nullopt},
        {Edge(LogicEdge::Rising, 3, false, 1000), 6}, // beyond the end: from the last sample
        {Edge(LogicEdge::Rising, 3, true, 7), std::nullopt},
        {Value(8, false, -5), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindInCapture(s, nullptr, c.r), c.hit) << "start " << c.r.start;
    EXPECT_EQ(FindInCapture({}, nullptr, Value(0, true, 0)), std::nullopt);
}

// Long runs with rare changes, so that the summary's blocks are skipped and entered at every level.
TEST(LogicSearch, SummaryGivesTheSameHitsAsAScan)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 6; ++round) {
        std::vector<std::uint8_t> s(300'000 + round * 977);
        std::uint8_t v = 0;
        for (auto& x : s) {
            if (rng() % (round < 3 ? 40000 : 300) == 0)
                v = static_cast<std::uint8_t>(v ^ (1u << (rng() % 3)));
            x = v;
        }
        const LogicSummary summary(s);
        for (int q = 0; q < 60; ++q) {
            const auto start = static_cast<std::int64_t>(rng() % s.size());
            const bool forward = rng() % 2;
            LogicSearchRequest r = q % 2 ? Value(static_cast<std::uint8_t>(rng() % 8), forward, start, rng() % 2)
                                         : Edge(static_cast<LogicEdge>(rng() % 3), static_cast<int>(rng() % 3), forward, start);
            ASSERT_EQ(FindInCapture(s, &summary, r), Reference(s, r)) << round << " " << q;
        }
    }
}

TEST(LogicSearch, StartFromMarkerOrHit)
{
    EXPECT_EQ(SearchStartFrom(std::nullopt, 25.9, 5.0, 2.0, true, true).index, 10);
    EXPECT_FALSE(SearchStartFrom(std::nullopt, 25.9, 5.0, 2.0, true, true).skipGroup);
    EXPECT_EQ(SearchStartFrom(std::nullopt, -3.0, 0.0, 1.0, true, true).index, 0);
    const auto next = SearchStartFrom(40, 0.0, 0.0, 1.0, true, true);
    EXPECT_EQ(next.index, 41);
    EXPECT_TRUE(next.skipGroup);
    EXPECT_EQ(SearchStartFrom(0, 0.0, 0.0, 1.0, false, false).index, 0);
    EXPECT_FALSE(SearchStartFrom(0, 0.0, 0.0, 1.0, false, false).skipGroup);
}

} // namespace
