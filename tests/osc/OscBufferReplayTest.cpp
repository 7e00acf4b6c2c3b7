// The oscilloscope's buffer read-out against instrument answers written from the protocol: the
// 1412-byte frame is made from a table of 10-bit samples (5-byte groups, the pre-trigger ring
// written round from the write position with the lower bits of its newest samples in byte 1408,
// the last partial group's in byte 1409), replayed through the reader and decoded; the record
// must hold those samples in volts, split between the channels as the block's trigger input says.

#include "../device/HandWrittenSession.h"
#include "osc/OscAcquisitionParams.h"
#include "osc/OscBufferDecoder.h"
#include "osc/OscReaders.h"

#include <gtest/gtest.h>

#include <array>

namespace tesmar {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kUnused = 0xA5; // frame bits the record must not depend on
constexpr int kFrameSamples = 1127;    // 281 groups and 3 samples; the last is not used

// The calibration pairs every instrument starts with.
constexpr CalibrationPair kNormal{2.5062196601162, 7.46321147175893e-05};
constexpr CalibrationPair kAttenuated{22.8748891964313, 0.00071381527528063};

struct OscCase {
    const char* what;
    OscBlockInput in;
    std::array<std::uint8_t, 12> block; // command 5's data, by hand
    std::uint16_t wValue, wIndex;
    std::uint16_t w;                    // the ring's write position in frame bytes 1410, 1411
    bool bFirst;                        // the first sample of the frame is channel B's
    CalibrationPair pairA, pairB;
    int countA, countB, trigA, trigB;
    bool firstReadTimesOut = false;
};

OscBlockInput Both(double rangeA, double rangeB)
{
    OscBlockInput in;
    in.timeDiv = 10e-6; // both on: 200 000 samples/s, wValue 20 000, timing code 0x34
    in.chAOn = in.chBOn = true;
    in.rangeA = rangeA;
    in.rangeB = rangeB;
    return in;
}

OscBlockInput LevelOnA(int pre)
{
    OscBlockInput in = Both(2.0, 5.0);
    in.preTriggerCount = pre;
    in.triggerOn = true;
    in.triggerSource = TriggerSource::ChannelA;
    in.triggerEdge = TriggerEdge::Rising;
    in.levelA = 0.0;
    return in;
}

OscBlockInput FallingOnB()
{
    OscBlockInput in = Both(20.0, 1.0);
    in.triggerOn = true;
    in.triggerSource = TriggerSource::ChannelB;
    in.triggerEdge = TriggerEdge::Falling;
    in.levelB = 1.0;
    return in;
}

OscBlockInput DifferenceOnBAlone()
{
    OscBlockInput in;
    in.timeDiv = 20e-6; // one channel: 50 000 samples/s, wValue 5000, timing code 0x74
    in.chAOn = false;
    in.chBOn = true;
    in.rangeB = 0.5;
    in.triggerOn = true;
    in.triggerSource = TriggerSource::ChannelB;
    in.triggerKind = TriggerKind::Difference;
    in.typedThreshold = 0.5;
    return in;
}

OscBlockInput AAlone()
{
    OscBlockInput in;
    in.timeDiv = 20e-6;
    in.rangeA = 20.0;
    return in;
}

// Level trigger on A at 0 V: wIndex = round(2.5062196601162 / 7.46321147175893e-05) = 33 581; byte
// 2 = 100 + 4 per channel; byte 3 is B's code, so the frame starts with B.
// Falling on B at 1 V: wIndex = round(1.5062196601162 / 7.46321147175893e-05) = 20 182, bit 5.
// Difference 0.5 V rising: wIndex = −round(0.5 / 7.46321147175893e-05) = −6700; byte 2 = 100.
const OscCase kCases[] = {
    {"A alone, 20 V, no trigger", AAlone(), {0x00, 0x74, 100, 11, 11, 11, 11, 11, 11, 11, 11, 11}, 5000, 0, 0x0377,
     false, kAttenuated, kNormal, 1126, 0, 0, 0},
    {"A 2 V and B 5 V, level on A, w 0", LevelOnA(100), {0x40, 0x34, 108, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000,
     33581, 0, true, kNormal, kAttenuated, 563, 563, 49, 49},
    {"A 2 V and B 5 V, level on A, w 3", LevelOnA(100), {0x40, 0x34, 108, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000,
     33581, 3, true, kNormal, kAttenuated, 563, 563, 49, 49, true},
    {"A 2 V and B 5 V, level on A, w 67", LevelOnA(100), {0x40, 0x34, 108, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000,
     33581, 67, true, kNormal, kAttenuated, 563, 563, 49, 49},
    {"A 2 V and B 5 V, level on A, w 133", LevelOnA(100), {0x40, 0x34, 108, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000,
     33581, 133, true, kNormal, kAttenuated, 563, 563, 49, 49},
    {"pre-trigger 8, w 18", LevelOnA(8), {0x40, 0x34, 16, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000, 33581, 18, true,
     kNormal, kAttenuated, 563, 563, 3, 3},
    {"pre-trigger 200, w 137", LevelOnA(200), {0x40, 0x34, 208, 10, 8, 10, 8, 10, 8, 10, 8, 10}, 20000, 33581, 137,
     true, kNormal, kAttenuated, 563, 563, 99, 99},
    {"A 20 V and B 1 V, falling on B, w 1", FallingOnB(), {0x60, 0x34, 108, 11, 11, 9, 11, 9, 11, 9, 11, 9}, 20000,
     20182, 1, false, kAttenuated, kNormal, 563, 563, 49, 49},
    {"A 20 V and B 1 V, falling on B, w 56", FallingOnB(), {0x60, 0x34, 108, 11, 11, 9, 11, 9, 11, 9, 11, 9}, 20000,
     20182, 56, false, kAttenuated, kNormal, 563, 563, 49, 49},
    {"B alone 0.5 V, difference, w 2", DifferenceOnBAlone(), {0x48, 0x74, 100, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 5000,
     0xE5D4, 2, true, kNormal, kNormal, 0, 1126, 0, 99},
    {"B alone 0.5 V, difference, w 123", DifferenceOnBAlone(), {0x48, 0x74, 100, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 5000,
     0xE5D4, 123, true, kNormal, kNormal, 0, 1126, 0, 99},
    // Without a trigger the frame starts with A even though byte 3 is B's code.
    {"both 20 V, no trigger", Both(20.0, 20.0), {0x00, 0x34, 100, 10, 11, 10, 11, 10, 11, 10, 11, 10}, 20000, 0,
     0x0102, false, kAttenuated, kAttenuated, 563, 563, 0, 0},
};

int Sample(int i) { return (i * 389 + (i >> 10) * 7 + 77) % 1024; }

void SetLowBits(std::uint8_t& byte, int field, int sample)
{
    byte = static_cast<std::uint8_t>((byte & ~(3 << (2 * field))) | ((sample & 3) << (2 * field)));
}

// Puts 4 samples as one group at `at`: upper bits in the first 4 bytes, lower bits in the fifth.
template <class Out>
void PutGroup(Out& out, int at, const std::vector<int>& s, int first)
{
    for (int k = 0; k < 4; ++k) {
        out[at + k] = static_cast<std::uint8_t>(s[first + k] >> 2);
        SetLowBits(out[at + 4], k, s[first + k]);
    }
}

// The frame the instrument sends for the samples `s` in time order.
OscFrame Encode(const std::vector<int>& s, const OscCase& c)
{
    OscFrame f;
    f.fill(kUnused);
    const bool trigger = (c.block[0] & 0x40) != 0;
    int at = 0, next = 0;
    if (trigger) {
        const int b2 = c.block[2];
        const int m = b2 * 5 / 4, groups = m / 5, r = c.w % 5;
        // A write position on a group's lower-bits byte would put a newest sample's lower bits
        // outside byte 1408; the instrument is not expected to stop there.
        EXPECT_LT(r, 4);
        Bytes ring(m, kUnused); // in time order, from the write position on
        for (int t = 0; t < 4 - r; ++t) {
            ring[t] = static_cast<std::uint8_t>(s[t] >> 2);
            SetLowBits(ring[4 - r], r + t, s[t]);
        }
        next = 4 - r;
        for (int g = 1; g < groups; ++g, next += 4)
            PutGroup(ring, 5 * g - r, s, next);
        for (int t = 0; t < r; ++t) {
            ring[5 * groups - r + t] = static_cast<std::uint8_t>(s[next + t] >> 2);
            SetLowBits(f[1408], 3 - r + t, s[next + t]);
        }
        next += r;
        EXPECT_EQ(next, b2);
        for (int i = 0; i < m; ++i)
            f[(c.w + i) % m] = ring[i];
        at = m;
    }
    for (; at < 1404; at += 5, next += 4)
        PutGroup(f, at, s, next);
    for (int t = 0; t < 3; ++t) {
        f[1405 + t] = static_cast<std::uint8_t>(s[next + t] >> 2);
        SetLowBits(f[1409], t, s[next + t]);
    }
    f[1410] = static_cast<std::uint8_t>(c.w & 0xFF);
    f[1411] = static_cast<std::uint8_t>(c.w >> 8);
    return f;
}

std::string Session(const OscCase& c, const OscFrame& f)
{
    HandWrittenSession s;
    s.out(5, c.wValue, c.wIndex, Bytes(c.block.begin(), c.block.end()));
    if (c.firstReadTimesOut)
        s.in(512, {}, usb_status::TimeOut); // not triggered yet: asked again
    s.in(512, Bytes(f.begin(), f.begin() + 512));
    s.out(6, 1, 0);
    s.in(512, Bytes(f.begin() + 512, f.begin() + 1024));
    s.out(6, 2, 0);
    s.in(388, Bytes(f.begin() + 1024, f.end()));
    return s.text();
}

double Volts(int sample, const CalibrationPair& pair) { return pair.zero - sample * 64 * pair.voltsPerUnit; }

TEST(OscBufferReplay, ChannelsRangesAndRingPositionsGiveTheSamplesTheInstrumentSent)
{
    std::vector<int> samples(kFrameSamples);
    for (int i = 0; i < kFrameSamples; ++i)
        samples[i] = Sample(i);
    for (const OscCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ReplayedSession replay(Session(c, Encode(samples, c)));
        ASSERT_EQ(replay.error, "");
        ASSERT_TRUE(replay.opened);

        const OscBlock built = BuildOscBlock(c.in);
        const OscAcquisitionParams params = OscAcquisitionParams::FromBlock(built, c.in, false);
        OscFrame frame{};
        const std::atomic<bool> stop{false};
        EXPECT_TRUE(ReadOscBufferFrame(replay.session, params, frame, stop));
        EXPECT_EQ(replay.transport.finish(), "");
        OscResult result;
        DecodeOscBuffer(frame, params, {}, result);

        // The table's samples, dealt to the channels in turn from the first one's.
        std::vector<double> a, b;
        for (int j = 0; j < 1126; ++j) {
            const bool toB = c.countA == 0 || (c.countB != 0 && (j % 2 == 1) != c.bFirst);
            (toB ? b : a).push_back(Volts(samples[j], toB ? c.pairB : c.pairA));
        }
        ASSERT_EQ(result.CountA, c.countA);
        ASSERT_EQ(result.CountB, c.countB);
        ASSERT_EQ(a.size(), static_cast<std::size_t>(c.countA));
        ASSERT_EQ(b.size(), static_cast<std::size_t>(c.countB));
        for (int i = 0; i < c.countA; ++i)
            ASSERT_NEAR(result.ValuesA[i], a[i], 1e-9) << "A " << i;
        for (int i = 0; i < c.countB; ++i)
            ASSERT_NEAR(result.ValuesB[i], b[i], 1e-9) << "B " << i;
        EXPECT_EQ(result.TrigIndexA, c.trigA);
        EXPECT_EQ(result.TrigIndexB, c.trigB);
    }
}

} // namespace
} // namespace tesmar
