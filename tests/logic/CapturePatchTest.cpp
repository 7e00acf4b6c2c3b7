#include "logic/CapturePatch.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using namespace tesmar;

std::vector<std::uint8_t> Counting(std::size_t n, std::uint8_t from)
{
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), from);
    return v;
}

// A main capture of `n` samples at 1 µs with `pre` samples before time 0.
LogicCapture Main(std::size_t n, int pre = 0)
{
    return MakeLogicCapture(Counting(n, 0), {}, 1e-6, pre);
}

TEST(CapturePatch, PlacedAtTheLastSampleAndReplacedInPlace)
{
    const LogicCapture main = Main(10, 3); // samples at −3 … 6 µs
    PendingPatch first = PlacePatch(main, nullptr, Counting(5, 100), {}, 1e-6);
    EXPECT_NEAR(first.firstTime(), 6e-6, 1e-15);
    EXPECT_NEAR(first.lastTime(), 10e-6, 1e-15);
    ASSERT_TRUE(ShiftPatch(first, main, +1));
    ASSERT_TRUE(ShiftPatch(first, main, +1));
    // A newer capture takes the pending one's place, shifts included.
    const PendingPatch second = PlacePatch(main, &first, Counting(5, 200), {}, 1e-6);
    EXPECT_NEAR(second.firstTime(), 8e-6, 1e-15);
    EXPECT_EQ(second.shift, 0);
    EXPECT_EQ(second.busA.front(), 200);
}

TEST(CapturePatch, ShiftLeftStopsAtTheMainCaptureStartRightHasNoLimit)
{
    const LogicCapture main = Main(10, 3);
    PendingPatch patch = PlacePatch(main, nullptr, Counting(5, 100), {}, 1e-6);
    int moves = 0;
    while (ShiftPatch(patch, main, -1))
        ++moves;
    EXPECT_EQ(moves, 9); // from sample 9 to sample 0
    EXPECT_NEAR(patch.firstTime(), main.firstSampleTime, 1e-15);
    EXPECT_FALSE(CanShiftPatchLeft(patch, main));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(ShiftPatch(patch, main, +1));
    EXPECT_TRUE(CanShiftPatchLeft(patch, main));
}

struct JoinCase {
    const char* name;
    int shift;                      // from the last main sample
    std::size_t expectedSize;
    std::vector<std::uint8_t> tail; // main samples 7 … end after the join
    friend void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }
};

class CapturePatchJoin : public ::testing::TestWithParam<JoinCase> {};

TEST_P(CapturePatchJoin, WritesSamplesCToDMinusOne)
{
    const JoinCase& k = GetParam();
    LogicCapture main = Main(10);
    PendingPatch patch = PlacePatch(main, nullptr, Counting(4, 100), {}, 1e-6);
    for (int i = 0; i < std::abs(k.shift); ++i)
        ASSERT_TRUE(ShiftPatch(patch, main, k.shift < 0 ? -1 : 1));
    ASSERT_FALSE(JoinPatch(main, patch));
    ASSERT_EQ(main.busA.size(), k.expectedSize);
    const std::vector<std::uint8_t> tail(main.busA.begin() + 7, main.busA.end());
    EXPECT_EQ(tail, k.tail);
    EXPECT_TRUE(main.busB.empty()); // no bus B in the patch: none made up
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CapturePatchJoin,
    ::testing::Values(
        // Unshifted: the patch's first sample overlaps the main capture's last one; its last is not joined.
        JoinCase{"unshifted", 0, 12, {7, 8, 100, 101, 102}},
        // Shifted right beyond the end: a gap of low samples.
        JoinCase{"gap", 3, 15, {7, 8, 9, 0, 0, 100, 101, 102}},
        // Shifted into the middle: the main capture keeps its length and its later samples.
        JoinCase{"inside", -3, 10, {101, 102, 9}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CapturePatch, BusBGrowsOnlyWithAPatchThatHasIt)
{
    LogicCapture main = MakeLogicCapture(Counting(6, 0), {}, 1e-6, 0);
    PendingPatch patch = PlacePatch(main, nullptr, Counting(3, 10), Counting(3, 20), 1e-6);
    ASSERT_FALSE(JoinPatch(main, patch));
    EXPECT_EQ(main.busA, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 10, 11}));
    // Bus B was not captured before: low up to the patch, sample for sample under bus A.
    EXPECT_EQ(main.busB, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 20, 21}));
}

TEST(CapturePatch, RefusedJoinsLeaveTheCaptureAlone)
{
    LogicCapture main = Main(10);
    const LogicCapture before = main;
    const PendingPatch slower = PlacePatch(main, nullptr, Counting(5, 100), {}, 1.0 / 900e3);
    EXPECT_EQ(JoinPatch(main, slower), PatchJoinError::PeriodMismatch);
    const PendingPatch single = PlacePatch(main, nullptr, Counting(1, 100), {}, 1e-6);
    EXPECT_EQ(JoinPatch(main, single), PatchJoinError::NoPeriod);
    EXPECT_EQ(main.busA, before.busA);
    EXPECT_TRUE(SamePatchPeriod(1.0 / 1e6, 1e-6));
    EXPECT_FALSE(SamePatchPeriod(1.0 / 1e6, 1.0 / 999999.0));
}

TEST(CapturePatch, ManyShiftsStayOnWholeSamples)
{
    // Periods that floating point cannot hold exactly: after thousands of steps the join still
    // lands on the sample the user lined up.
    const double period = 1.0 / 2666666.6666666665;
    LogicCapture main = MakeLogicCapture(Counting(1160, 0), {}, period, 8);
    PendingPatch patch = PlacePatch(main, nullptr, Counting(50, 1), {}, period);
    for (int i = 0; i < 1159; ++i)
        ASSERT_TRUE(ShiftPatch(patch, main, -1));
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(ShiftPatch(patch, main, +1));
    ASSERT_FALSE(JoinPatch(main, patch));
    ASSERT_EQ(main.busA.size(), 3049u);
    EXPECT_EQ(main.busA[3000], 1);
    EXPECT_EQ(main.busA[2999], 0);
}

} // namespace
