#include "logic/ChannelNames.h"
#include "logic/ChannelQueries.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(ChannelQueries, BusLinesComeFromTheCaptureOrTheGenerator)
{
    auto capture = MakeLogicCapture({1, 2, 3, 4}, {9, 8}, 2e-6, 1);
    GeneratorData generator;
    generator.setSample(0, 0x55);

    const ChannelQueries analyser(capture);
    EXPECT_EQ(analyser.data(3).size(), 4u);
    EXPECT_EQ(analyser.data(8)[0], 9);
    EXPECT_EQ(analyser.samples(0), 3);
    EXPECT_EQ(analyser.samples(15), 1);
    EXPECT_DOUBLE_EQ(analyser.timeAt(0, 0), -2e-6); // one pre-trigger sample
    EXPECT_DOUBLE_EQ(analyser.period(9), 2e-6);

    const ChannelQueries withGenerator(capture, &generator, 1e-6);
    EXPECT_EQ(withGenerator.data(8).size(), static_cast<std::size_t>(GeneratorData::kSampleCount));
    EXPECT_EQ(withGenerator.data(8)[0], 0x55);
    EXPECT_EQ(withGenerator.samples(12), GeneratorData::kSampleCount - 1);
    EXPECT_DOUBLE_EQ(withGenerator.period(12), 1e-6);
    EXPECT_DOUBLE_EQ(withGenerator.period(7), 2e-6);
    EXPECT_DOUBLE_EQ(withGenerator.timeAt(12, 10), 10e-6); // generator starts at time 0
    EXPECT_EQ(ChannelQueries::lineMask(12), 0x10);
}

TEST(ChannelQueries, IndexAtInvertsTimeAtAndNeverGoesNegative)
{
    for (double period : {1e-6, 1.0 / 300000, 1.0 / 2666666.6666666665, 1e-3}) {
        auto capture = MakeLogicCapture(std::vector<std::uint8_t>(5000, 0), {}, period, 32);
        const ChannelQueries queries(capture);
        for (std::int64_t i : {0, 1, 31, 32, 33, 999, 4998})
            EXPECT_EQ(queries.indexAt(0, queries.timeAt(0, i)), i) << period << ' ' << i;
        EXPECT_EQ(queries.indexAt(0, -1.0), 0);
        EXPECT_EQ(queries.indexAt(0, queries.timeAt(0, 5) + period * 0.6), 5);
    }
}

TEST(ChannelQueries, LinesWithoutPointsHaveNoSamples)
{
    auto capture = MakeLogicCapture({0, 1, 0}, {}, 1e-6, 0);
    capture.drawnLinesA = 0x01; // a stream capture showing A.0 only
    const ChannelQueries queries(capture);
    EXPECT_EQ(queries.samples(0), 2);
    EXPECT_EQ(queries.samples(1), 0);
    EXPECT_EQ(queries.samples(8), 0); // no bus B capture
    LogicCapture empty;
    EXPECT_EQ(ChannelQueries(empty).samples(0), 0);
    EXPECT_EQ(ChannelQueries(empty).indexAt(0, 1.0), 0);
}

TEST(ChannelNames, ParsesDefaultNamesIndexesAndUserNames)
{
    ChannelNameList names = DefaultChannelNames();
    EXPECT_EQ(names[0], "A.0");
    EXPECT_EQ(names[15], "B.7");
    names[10] = "SDA";
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {{"A.0", 0}, {"a.7", 7}, {"B.0", 8}, {"b.7", 15}, {"11", 11}, {"0", 0}, {"SDA", 10},
                 {"16", std::nullopt}, {"-1", std::nullopt}, {"C.1", std::nullopt}, {"A.8", std::nullopt},
                 {"", std::nullopt}, {"sda", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseChannel(c.text, &names), c.expected) << c.text;
}

} // namespace
} // namespace tesmar
