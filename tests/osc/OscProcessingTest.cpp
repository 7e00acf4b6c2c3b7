#include "osc/OscProcessing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

OscResult Record(int countA, int countB)
{
    OscResult r;
    r.CountA = countA;
    r.CountB = countB;
    for (int i = 0; i < 1024; ++i) {
        r.ValuesA[i] = 1.0 + std::sin(i * 0.1);
        r.ValuesB[i] = 0.5;
    }
    r.TrigIndexA = 7;
    return r;
}

TEST(OscProcessing, ArithmeticOnlyWithBothChannels)
{
    OscResult onlyA = Record(512, 0);
    ProcessedRecord r = ProcessOscRecord(onlyA, 1e-3, true, {}, {}, ChannelMath::AminusB);
    EXPECT_DOUBLE_EQ(r.a.values[3], onlyA.ValuesA[3]);
    EXPECT_TRUE(r.b.values.empty());
    EXPECT_EQ(r.a.shift, 0.0);
    EXPECT_EQ(r.a.trigIndex, 7);

    OscResult both = Record(512, 512);
    r = ProcessOscRecord(both, 1e-3, true, {}, {}, ChannelMath::AminusB);
    EXPECT_DOUBLE_EQ(r.a.values[3], both.ValuesA[3] - 0.5);
    EXPECT_EQ(r.b.shift, 0.5);

    ChannelProcessing invertB;
    invertB.invert = true;
    r = ProcessOscRecord(both, 1e-3, true, {}, invertB, ChannelMath::BplusA);
    EXPECT_DOUBLE_EQ(r.b.values[3], -0.5 + both.ValuesA[3]);
}

TEST(OscProcessing, ParametersBeforeOrAfterSmoothing)
{
    OscResult noisy = Record(1024, 0);
    for (int i = 0; i < 1024; i += 2)
        noisy.ValuesA[i] += 0.3; // fast alternation the smoothing removes
    ChannelProcessing smooth;
    smooth.smoothingLevel = 3;
    const ProcessedRecord before = ProcessOscRecord(noisy, 1e-3, true, smooth, {}, ChannelMath::None);
    const ProcessedRecord after = ProcessOscRecord(noisy, 1e-3, false, smooth, {}, ChannelMath::None);
    ASSERT_TRUE(before.a.params && after.a.params);
    EXPECT_GT(before.a.params->Uvaria, after.a.params->Uvaria);
    EXPECT_NEAR(before.a.values[0], after.a.values[0], 1e-12); // the same values are drawn
    EXPECT_LT(std::fabs(after.a.values[10] - after.a.values[11]), 0.2);
    EXPECT_FALSE(before.b.params);
}

TEST(OscProcessing, FilterNeedsAResponseOfTwoPoints)
{
    OscResult r = Record(1024, 0);
    ChannelProcessing filter;
    filter.filterOn = true;
    const std::vector<FilterPoint> single{{0.0, 0.0}};
    filter.response = single;
    ProcessedRecord out = ProcessOscRecord(r, 1e-3, true, filter, {}, ChannelMath::None);
    EXPECT_DOUBLE_EQ(out.a.values[5], r.ValuesA[5]);
    const std::vector<FilterPoint> zero{{0.0, 0.0}, {1000.0, 0.0}};
    filter.response = zero;
    out = ProcessOscRecord(r, 1e-3, true, filter, {}, ChannelMath::None);
    EXPECT_LT(std::fabs(out.a.values[5]), 0.05);
}

} // namespace
} // namespace tesmar
