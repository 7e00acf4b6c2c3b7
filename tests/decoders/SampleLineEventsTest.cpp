#include "decoders/SampleLineEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesmar {
namespace {

using Changes = std::vector<std::pair<std::int64_t, std::uint16_t>>;

Changes Read(SampleLineEvents& events)
{
    Changes changes;
    EXPECT_TRUE(events.restart());
    std::int64_t at = 0;
    std::uint16_t levels = 0;
    while (events.next(at, levels))
        changes.emplace_back(at, levels);
    return changes;
}

TEST(SampleLineEvents, ReportsTheSamplesAtWhichTheLinesFollowedChange)
{
    // Bus B ends after four samples.
    LogicCapture capture;
    capture.busA = {0x01, 0x01, 0x03, 0x02, 0x82, 0x80, 0x80};
    capture.busB = {0x00, 0x04, 0x04, 0x05};
    const ChannelQueries queries(capture);
    struct Case {
        const char* name;
        std::vector<std::optional<int>> channels;
        std::int64_t count;
        std::optional<int> highPastEnd;
        Changes expected;
    };
    const std::vector<Case> cases = {
        {"both buses, low past the end", {0, 1, std::nullopt, 10, 8}, 7, std::nullopt,
         {{0, 0x0001}, {1, 0x0401}, {2, 0x0403}, {3, 0x0502}, {4, 0x0002}, {5, 0x0000}}},
        {"B.2 high past the end", {0, 1, 10, 8}, 7, 10,
         {{0, 0x0001}, {1, 0x0401}, {2, 0x0403}, {3, 0x0502}, {4, 0x0402}, {5, 0x0400}}},
        {"one line", {7}, 7, std::nullopt, {{4, 0x0080}}},
        {"fewer samples", {0, 1}, 3, std::nullopt, {{0, 0x0001}, {2, 0x0003}}},
        {"bus B alone", {8, 10}, 6, std::nullopt, {{1, 0x0400}, {3, 0x0500}, {4, 0x0000}}},
        {"no line", {std::nullopt}, 7, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<int> channels[5];
        std::copy(c.channels.begin(), c.channels.end(), channels);
        SampleLineEvents events(queries, {channels[0], channels[1], channels[2], channels[3], channels[4]}, c.count);
        if (c.highPastEnd)
            events.setLevelPastEnd(*c.highPastEnd, true);
        EXPECT_EQ(Read(events), c.expected);
        // Gone through again from the start.
        EXPECT_EQ(Read(events), c.expected);
    }
}

TEST(SampleLineEvents, ChangesAcrossManyBatchesAreAllReported)
{
    // Runs of 1 … 9 samples on A.3, with A.5 changing now and then; A.6 changes too but is not
    // followed.
    LogicCapture capture;
    Changes expected;
    std::uint8_t level = 0;
    for (int run = 0; capture.busA.size() < 5000; ++run) {
        level ^= 0x08;
        if (run % 7 == 0)
            level ^= 0x20;
        expected.emplace_back(static_cast<std::int64_t>(capture.busA.size()), level);
        for (int k = 0; k < 1 + run % 9; ++k)
            capture.busA.push_back(static_cast<std::uint8_t>(level | (k % 2 ? 0x40 : 0)));
    }
    const ChannelQueries queries(capture);
    SampleLineEvents events(queries, {3, 5}, static_cast<std::int64_t>(capture.busA.size()));
    EXPECT_EQ(Read(events), expected);
    EXPECT_GT(expected.size(), 1000u);
}

} // namespace
} // namespace tesmar
