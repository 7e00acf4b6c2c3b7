#include "logic/LogicSummary.h"
#include "logic/LogicTimeAxis.h"

#include <gtest/gtest.h>

#include <random>

namespace tesmar {
namespace {

TEST(LogicSummary, RangesAgreeWithTheSamples)
{
    std::vector<std::uint8_t> samples(300'000, 0x08);
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i)
        samples[random() % samples.size()] = static_cast<std::uint8_t>(random());
    const LogicSummary summary(samples);
    for (int trial = 0; trial < 300; ++trial) {
        std::int64_t a = random() % samples.size(), b = random() % samples.size();
        if (a > b)
            std::swap(a, b);
        LineStates direct;
        for (std::int64_t i = a; i < b; ++i)
            direct.add(samples[i]);
        const LineStates fast = summary.over(samples, a, b);
        ASSERT_EQ(fast.any, direct.any) << a << " " << b;
        ASSERT_EQ(fast.all, direct.all) << a << " " << b;
    }
    EXPECT_LT(summary.memoryBytes(), samples.size() / 30);
}

TEST(LogicSummary, ColumnsShowConstantAndChangingLines)
{
    std::vector<std::uint8_t> samples(1000, 0x01);
    samples[500] = 0x03; // line 1 pulses once
    const LogicSummary summary(samples);
    const auto columns = summary.columns(samples, 0, 100, 10);
    ASSERT_EQ(columns.size(), 10u);
    EXPECT_TRUE(columns[0].high(0));
    EXPECT_FALSE(columns[0].changes(1));
    EXPECT_TRUE(columns[5].changes(1));
    EXPECT_FALSE(columns[6].changes(1));
}

TEST(LogicTimeAxis, UnitsZoomAndWindows)
{
    EXPECT_DOUBLE_EQ(LogicZoomOfItem("1:500"), 1.0 / 500);
    EXPECT_DOUBLE_EQ(LogicZoomOfItem("20:1"), 20.0);
    // 1 MHz, depth 1544, no pre-trigger: 0 … 1544 µs; at 2:1 0 … 772 µs.
    EXPECT_EQ(LogicEmptyWindow(1e-6, 1e6, 1, 1544, 0), (LogicWindow{0, 1544}));
    EXPECT_EQ(LogicEmptyWindow(1e-6, 1e6, 2, 1544, 0), (LogicWindow{0, 772}));
    // 128 samples of 1 ms want milliseconds.
    EXPECT_DOUBLE_EQ(ChooseLogicMultiplier(1e6, 128, 1e-3, 1), 1000.0);
    EXPECT_DOUBLE_EQ(ChooseLogicMultiplier(1, 128, 1e-6, 1), 1e6);

    LogicAxisData d;
    d.left = -31;
    d.right = 1513;
    d.startAtZero = true;
    EXPECT_EQ(LogicDataWindow(d), (LogicWindow{0, 128}));
    d.startAtZero = false;
    d.scrollPosition = static_cast<std::int64_t>(kLogicScrollRange); // beyond the end
    d.scrollPage = 0;
    EXPECT_EQ(LogicDataWindow(d), (LogicWindow{1385, 1513}));
    d.zoom = 1.0 / 500; // wider than the data: all of it
    EXPECT_EQ(LogicDataWindow(d), (LogicWindow{-31, 1513}));
}

TEST(LogicTimeAxis, WideZoomStepsReachTheWholeSpan)
{
    using Steps = std::vector<std::int64_t>;
    const struct {
        double samples;
        Steps steps;
    } cases[] = {
        {64'000, {}},                                    // "1:500" holds it all
        {64'001, {501}},                                 // one sample more: one step for all of it
        {100'000, {782}},                                // 1:1000 would hold it all
        {300'000, {1000, 2344}},                         // 128 000 of 300 000, then all
        {4'194'303, {1000, 2000, 4000, 8000, 16000, 32768}}, // 4 M samples, 32 000 left out
        {268'435'455, {1000, 2000, 4000, 8000, 16000, 32000, 64000, 128'000, 256'000, 512'000, 1'024'000,
                       2'097'152}}, // 256 M samples
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogicWideZoomSteps(c.samples), c.steps) << c.samples;
    // The last step's screen holds the span, the others do not.
    for (const double samples : {64'001.0, 1e6, 4'194'303.0, 5e7}) {
        const Steps steps = LogicWideZoomSteps(samples);
        ASSERT_FALSE(steps.empty());
        EXPECT_GE(128.0 * static_cast<double>(steps.back()), samples);
        for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
            EXPECT_LT(128.0 * static_cast<double>(steps[i]), samples);
        }
    }
}

TEST(LogicTimeAxis, ScrollStaysInsideAndReadouts)
{
    const LogicWindow w{0, 100};
    const LogicScroll s = LogicScrollFor(w, 0, 1000);
    EXPECT_EQ(s.page, 200'000'000);
    const auto end = LogicScrollTo(w, s, 2'000'000'000, 0, 1000);
    ASSERT_TRUE(end);
    EXPECT_EQ(*end, (LogicWindow{900, 1000}));
    EXPECT_FALSE(LogicScrollTo({0, 1000}, LogicScrollFor({0, 1000}, 0, 1000), 5, 0, 1000));
    EXPECT_EQ(BusBinaryText(0x5A), "0101.1010");
    EXPECT_EQ(BusHexText(0x5A), "0x5A");
    const std::vector<std::uint8_t> bus = {1, 2, 3};
    EXPECT_EQ(BusValueAt(bus, 0, 1, 1.5), 2);
    EXPECT_EQ(BusValueAt(bus, 0, 1, -0.5), 0); // left of the first sample
    EXPECT_EQ(BusValueAt(bus, 0, 1, 3.0), 0);
}

} // namespace
} // namespace tesmar
