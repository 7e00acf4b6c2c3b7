#include "dsp/SoundConditions.h"
#include "dsp/TonePcm.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

std::array<std::optional<SignalParams>, 2> A(double uconst, double uvaria = 0, double f = 0)
{
    return {SignalParams{uconst, uvaria, 0, 0, f}, std::nullopt};
}

TEST(SoundConditions, FireOnlyWhenTheyBecomeTrue)
{
    SoundConditions s;
    for (int i = 0; i < kSoundConditionCount; ++i)
        if (i != 0)
            s.setThreshold(i, kDisabledThreshold);
    EXPECT_TRUE(s.check(A(4), {20, 20}).empty());
    EXPECT_EQ(s.check(A(6), {20, 20}), std::vector<int>{0}); // "Uconst > " 5 V
    EXPECT_TRUE(s.check(A(7), {20, 20}).empty());            // still true: no second sound
    EXPECT_TRUE(s.check(A(5), {20, 20}).empty());            // 5 V is not above 5 V
    EXPECT_EQ(s.check(A(5.5), {20, 20}), std::vector<int>{0});
    EXPECT_TRUE(s.check({}, {20, 20}).empty());              // no data: false
    EXPECT_EQ(s.check(A(6), {20, 20}), std::vector<int>{0});
}

TEST(SoundConditions, BandsAndDisabledThresholds)
{
    SoundConditions s;
    for (int i = 0; i < kSoundConditionCount; ++i)
        if (i != 2 && i != 7 && i != 8)
            s.setThreshold(i, kDisabledThreshold);
    // ±20 V range: "Uconst = 2,5" holds strictly within 1.5 … 3.5 V.
    EXPECT_TRUE(s.check(A(1.5, 0, 1000.0), {20, 20}) == std::vector<int>{8});
    EXPECT_EQ(s.check(A(1.51, 0, 1019.0), {20, 20}), std::vector<int>{2});
    EXPECT_TRUE(s.check(A(3.5, 0, 1020.0), {20, 20}).empty()); // both left their bands
    // F = 0 (undetermined) is below any positive threshold.
    EXPECT_EQ(s.check(A(0, 0, 0), {20, 20}), std::vector<int>{7});
    EXPECT_EQ(ParseThreshold("abc", ','), kDisabledThreshold);
    EXPECT_EQ(ParseThreshold("2,5", ','), 2.5);
    EXPECT_EQ(ParseThreshold("-1", ','), -1.0);
    EXPECT_EQ(ParseThreshold("", ','), kDisabledThreshold);
    s.setThreshold(7, kDisabledThreshold);
    EXPECT_TRUE(s.check(A(0, 0, -5), {20, 20}).empty());
}

TEST(SoundConditions, ConditionOrderAndTones)
{
    const SoundCondition c = SoundConditionAt(14);
    EXPECT_EQ(c.channel, 1);
    EXPECT_EQ(c.quantity, SoundQuantity::Uvaria);
    EXPECT_EQ(c.relation, SoundRelation::Equal);
    EXPECT_FALSE(ToneForItem(0));
    const auto tone = ToneForItem(6);
    ASSERT_TRUE(tone);
    EXPECT_EQ(tone->frequency, 300);
    EXPECT_EQ(tone->beeps, 2);
    EXPECT_EQ(ToneForItem(15)->frequency, 2000);
    EXPECT_EQ(ToneForItem(15)->beeps, 1);
}

TEST(TonePcm, TwoBeepsWithPausesAndAWavHeader)
{
    const auto pcm = BeepSequencePcm(300, 2, 8000);
    ASSERT_EQ(pcm.size(), 2u * (800 + 800));
    // A beep, then silence, then a beep: count the sign changes of the first beep (300 Hz, 0.1 s).
    int crossings = 0;
    for (int n = 1; n < 800; ++n)
        crossings += (pcm[n - 1] < 0) != (pcm[n] < 0);
    EXPECT_NEAR(crossings, 60, 2);
    for (int n = 800; n < 1600; ++n)
        ASSERT_EQ(pcm[n], 0);
    EXPECT_NE(pcm[1600 + 13], 0);
    const auto wav = WavFileImage(pcm, 8000);
    ASSERT_EQ(wav.size(), 44u + pcm.size() * 2);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 12), "WAVE");
    EXPECT_EQ(wav[24] | wav[25] << 8, 8000);
}

} // namespace
} // namespace tesmar
