#include "osc/OscBufferDecoder.h"
#include "osc/OscLiveRecord.h"
#include "osc/OscStreamRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tesmar {
namespace {

// A pair under which volts equal the raw sample, so tests speak in raw values.
constexpr CalibrationPair kIdentity{0.0, -1.0 / 64.0};

std::vector<std::uint8_t> EncodeGroups(const std::vector<int>& samples)
{
    return PackSampleGroups(samples);
}

OscAcquisitionParams StreamParams(int capacity, int pre, bool trigger)
{
    OscAcquisitionParams p;
    p.block.bytes[0] = AnalogBlock::kStream | (trigger ? AnalogBlock::kTriggerOn : 0);
    p.pairA = p.pairB = kIdentity;
    p.capacity = capacity;
    p.preTrigger = pre;
    p.triggerOn = trigger;
    p.level = 100;
    p.rising = true;
    return p;
}

// Feeds the points in reads of `chunk` bytes; pads to whole groups with the last value.
bool FeedPoints(OscStreamRecorder& recorder, std::vector<int> points, std::size_t chunk = 512)
{
    while (points.size() % 4)
        points.push_back(points.back());
    const auto bytes = EncodeGroups(points);
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        if (recorder.feed(bytes.data() + at, std::min(chunk, bytes.size() - at)))
            return true;
    return recorder.full();
}

TEST(LevelTrigger, NoiseFilterNeedsThreeBelowThenFiveAbove)
{
    struct Case {
        std::vector<int> sequence; // 0 below, 1 above
        bool fires;
    };
    const Case cases[] = {
        {{0, 0, 0, 1, 1, 1, 1, 1}, true},
        {{0, 0, 1, 1, 1, 1, 1}, false},
        {{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1}, true},  // a long run below counts, however long
        {{0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1}, true},
        {{1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1}, false},    // from beyond: one below is not enough
    };
    for (const Case& c : cases) {
        LevelTrigger trigger(1.0, true);
        bool fired = false;
        for (int v : c.sequence)
            fired = trigger.test(v ? 2.0 : 0.0) || fired;
        EXPECT_EQ(fired, c.fires);
    }
    LevelTrigger falling(1.0, false);
    bool fired = false;
    for (double v : {2.0, 2.0, 2.0, 0.0, 0.0, 0.0, 0.0, 0.0})
        fired = falling.test(v) || fired;
    EXPECT_TRUE(fired);
}

// A clean square of `plateau` points per half period, starting `phase` points into its low half.
std::vector<bool> Square(int plateau, int phase, int length)
{
    std::vector<bool> high(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        high[i] = ((i + phase) / plateau) % 2 == 1;
    return high;
}

// The first edge into `beyond` preceded by at least three points on the starting side.
int FirstFairEdge(const std::vector<bool>& beyond)
{
    int run = 0;
    for (int i = 0; i < static_cast<int>(beyond.size()); ++i) {
        if (beyond[i] && run >= kTriggerMinStartingSide)
            return i;
        run = beyond[i] ? 0 : run + 1;
    }
    return -1;
}

TEST(LevelTrigger, CleanSquareFiresAtItsFirstEdgeWhateverThePhase)
{
    for (bool rising : {true, false}) {
        for (int plateau = kTriggerFilterBeyond; plateau <= 24; ++plateau) {
            for (int phase = 0; phase < 2 * plateau; ++phase) {
                const std::vector<bool> beyond = Square(plateau, phase, 8 * plateau);
                LevelTrigger trigger(1.0, rising);
                int fired = -1;
                for (int i = 0; i < static_cast<int>(beyond.size()) && fired < 0; ++i)
                    if (trigger.test(beyond[i] == rising ? 2.0 : 0.0))
                        fired = i;
                const int edge = FirstFairEdge(beyond);
                ASSERT_GE(edge, 0);
                EXPECT_EQ(fired, edge + kTriggerFilterBeyond - 1)
                    << "plateau " << plateau << ", phase " << phase << (rising ? ", rising" : ", falling");
            }
        }
    }
}

TEST(LevelTrigger, ShortSpikesBeyondTheLevelNeverFire)
{
    for (int spike = 1; spike < kTriggerFilterBeyond; ++spike) {
        for (int gap = 2; gap <= 12; ++gap) {
            LevelTrigger trigger(1.0, true);
            std::vector<double> v(20, 0.0); // a long run below first
            for (int n = 0; n < 30; ++n) {
                v.insert(v.end(), static_cast<std::size_t>(spike), 2.0);
                v.insert(v.end(), static_cast<std::size_t>(gap), 0.0);
            }
            bool fired = false;
            for (double x : v)
                fired = trigger.test(x) || fired;
            EXPECT_FALSE(fired) << "spikes of " << spike << " with gaps of " << gap;
            int at = 0; // a real crossing afterwards still fires, on its fifth point
            while (!trigger.test(2.0) && at < 20)
                ++at;
            EXPECT_EQ(at, kTriggerFilterBeyond - 1) << "spikes of " << spike << " with gaps of " << gap;
        }
    }
}

TEST(OscStreamRecorder, CleanSquareTriggersWithTheCrossingAtPMinusOne)
{
    const int P = 6, capacity = 64;
    for (int plateau : {5, 7, 8, 12}) {
        for (int phase = 0; phase < 2 * plateau; ++phase) {
            OscResult result;
            OscStreamRecorder recorder(StreamParams(capacity, P, true), result);
            std::vector<int> points;
            for (bool high : Square(plateau, phase, 400))
                points.push_back(high ? 300 : 10);
            ASSERT_TRUE(FeedPoints(recorder, points)) << "plateau " << plateau << ", phase " << phase;
            recorder.finish();
            ASSERT_TRUE(result.DataReady);
            EXPECT_DOUBLE_EQ(result.ValuesA[P - 1], 10) << "plateau " << plateau << ", phase " << phase;
            for (int i = P; i < P + kTriggerFilterBeyond; ++i)
                EXPECT_DOUBLE_EQ(result.ValuesA[i], 300) << "plateau " << plateau << ", phase " << phase;
        }
    }
}

TEST(OscStreamRecorder, LevelTriggerPutsTheCrossingAtPMinusOne)
{
    const int P = 4, capacity = 40;
    OscResult result;
    OscStreamRecorder recorder(StreamParams(capacity, P, true), result);
    std::vector<int> points(9, 10);                 // fills the ring of P + F points
    for (int v : {11, 12, 13})
        points.push_back(v);                        // three below
    for (int v : {200, 201, 202, 203, 204})
        points.push_back(v);                        // five above: fires
    for (int i = 0; i < 60; ++i)
        points.push_back(300 + i);
    EXPECT_TRUE(FeedPoints(recorder, points, 7));   // odd read sizes: groups span reads
    recorder.finish();
    ASSERT_TRUE(result.DataReady);
    EXPECT_EQ(result.CountA, capacity);
    EXPECT_EQ(result.TrigIndexA, P - 1);
    EXPECT_EQ(result.CountB, 0);
    EXPECT_DOUBLE_EQ(result.ValuesA[P - 1], 13);
    EXPECT_DOUBLE_EQ(result.ValuesA[P], 200);
    EXPECT_DOUBLE_EQ(result.ValuesA[0], 10);
    EXPECT_DOUBLE_EQ(result.ValuesA[P + 5], 300);   // writing went on after the ring
}

TEST(OscStreamRecorder, NoTriggerMeansNoRecord)
{
    OscResult result;
    OscStreamRecorder recorder(StreamParams(16, 4, true), result);
    std::vector<int> points(9, 10);
    for (int i = 0; i < 20; ++i)
        for (int v : {10, 200, 200, 200, 200, 200})
            points.push_back(v);                    // one below, five above: never three below
    EXPECT_FALSE(FeedPoints(recorder, points));
    recorder.finish();
    EXPECT_FALSE(result.DataReady);
}

TEST(OscStreamRecorder, DifferenceTriggerAndFallingEdge)
{
    OscAcquisitionParams p = StreamParams(30, 4, true);
    p.kind = TriggerKind::Difference;
    p.threshold = 50;
    p.rising = false;
    OscResult result;
    OscStreamRecorder recorder(p, result);
    std::vector<int> points{500, 500, 500, 500, 500, 540, 500, 400};
    for (int i = 0; i < 40; ++i)
        points.push_back(400);
    EXPECT_TRUE(FeedPoints(recorder, points));
    recorder.finish();
    EXPECT_EQ(result.TrigIndexA, 3);
    EXPECT_DOUBLE_EQ(result.ValuesA[3], 400); // the point that fell by more than 50
    EXPECT_DOUBLE_EQ(result.ValuesA[2], 500);
}

TEST(OscStreamRecorder, BothChannelsAveragedWithoutTrigger)
{
    OscAcquisitionParams p = StreamParams(8, 4, false);
    p.chBOn = true;
    p.averaging = 2;
    OscResult result;
    OscStreamRecorder recorder(p, result);
    std::vector<int> samples; // A, B alternating; pairs averaged two at a time
    for (int i = 0; i < 40; ++i) {
        samples.push_back(100 + 2 * i);
        samples.push_back(600 - 2 * i);
    }
    EXPECT_TRUE(FeedPoints(recorder, samples));
    recorder.finish();
    EXPECT_EQ(result.CountA, 8);
    EXPECT_EQ(result.CountB, 8);
    EXPECT_EQ(result.TrigIndexA, 0);
    EXPECT_DOUBLE_EQ(result.ValuesA[0], 101);
    EXPECT_DOUBLE_EQ(result.ValuesB[0], 599);
    EXPECT_DOUBLE_EQ(result.ValuesA[1], 105);
}

std::vector<double> Points(const std::vector<double>& values, int count)
{
    return {values.begin(), values.begin() + count};
}

TEST(OscStreamRecorder, SnapshotsShowTheRecordInTimeOrderAsItFills)
{
    { // trigger off: the points as they came
        OscResult result, live;
        OscStreamRecorder recorder(StreamParams(40, 4, false), result);
        std::vector<int> points;
        for (int i = 0; i < 12; ++i)
            points.push_back(10 + i);
        FeedPoints(recorder, points);
        recorder.snapshot(live);
        ASSERT_EQ(live.CountA, 12);
        EXPECT_EQ(live.CountB, 0);
        EXPECT_EQ(live.TrigIndexA, 0);
        EXPECT_FALSE(live.DataReady);
        EXPECT_DOUBLE_EQ(live.ValuesA[0], 10);
        EXPECT_DOUBLE_EQ(live.ValuesA[11], 21);
    }
    // Trigger on: the ring in time order until it fires, then the record as finish lays it out.
    const int P = 4, capacity = 40, ring = P + kTriggerFilterBeyond;
    OscResult result, live;
    OscStreamRecorder recorder(StreamParams(capacity, P, true), result);
    std::vector<int> below;
    for (int i = 0; i < 8; ++i)
        below.push_back(i); // fewer than the ring holds
    FeedPoints(recorder, below);
    recorder.snapshot(live);
    ASSERT_EQ(live.CountA, 8);
    EXPECT_EQ(live.TrigIndexA, P - 1);
    EXPECT_DOUBLE_EQ(live.ValuesA[0], 0);
    std::vector<int> more;
    for (int i = 0; i < 16; ++i)
        more.push_back(20 + i); // wraps the ring: its oldest point is no longer at position 0
    FeedPoints(recorder, more);
    recorder.snapshot(live);
    ASSERT_EQ(live.CountA, ring);
    for (int i = 1; i < ring; ++i)
        EXPECT_DOUBLE_EQ(live.ValuesA[i], live.ValuesA[i - 1] + 1) << i;
    EXPECT_DOUBLE_EQ(live.ValuesA[ring - 1], 35);

    std::vector<int> edge{200, 201, 202, 203, 204, 205, 206, 207}; // fires, then grows on
    FeedPoints(recorder, edge);
    const std::vector<double> asWritten = result.ValuesA;
    recorder.snapshot(live);
    EXPECT_EQ(result.ValuesA, asWritten); // the snapshot leaves the record alone
    EXPECT_FALSE(result.DataReady);
    ASSERT_EQ(live.CountA, ring + 3);
    EXPECT_DOUBLE_EQ(live.ValuesA[P - 1], 35);
    EXPECT_DOUBLE_EQ(live.ValuesA[P], 200);
    EXPECT_DOUBLE_EQ(live.ValuesA[ring + 2], 207);

    std::vector<int> rest(60, 300);
    ASSERT_TRUE(FeedPoints(recorder, rest));
    recorder.snapshot(live);
    recorder.finish();
    ASSERT_EQ(live.CountA, result.CountA); // the last snapshot is the finished record
    EXPECT_EQ(Points(live.ValuesA, live.CountA), Points(result.ValuesA, result.CountA));
    EXPECT_EQ(live.TrigIndexA, result.TrigIndexA);
}

TEST(OscLiveRecord, HandsConsistentSnapshotsAcrossThreadsWithoutEverBlockingTheReader)
{
    // The reader records a ramp and offers what it has after every read; the other side takes
    // snapshots as fast as it can. Each one must be a whole prefix of the ramp.
    const int capacity = 20'000;
    OscLiveRecord live;
    OscResult result;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        OscStreamRecorder recorder(StreamParams(capacity, 4, false), result);
        OscResult snapshot;
        std::vector<int> block;
        for (int v = 0; !recorder.full(); v += 400) {
            block.clear();
            for (int i = 0; i < 400; ++i)
                block.push_back((v + i) % 1024);
            FeedPoints(recorder, block);
            recorder.snapshot(snapshot);
            live.offer(snapshot); // refused while the other side takes: the next one is newer
        }
        recorder.finish();
        recorder.snapshot(snapshot);
        live.offer(snapshot, true);
        done = true;
    });
    OscResult taken;
    int previousCount = 0, snapshots = 0;
    bool consistent = true;
    for (;;) {
        const bool finished = done; // read before taking, so that the last offer is not missed
        if (!live.take(taken)) {
            if (finished)
                break;
            continue;
        }
        ++snapshots;
        consistent = consistent && taken.CountA >= previousCount;
        previousCount = taken.CountA;
        for (int i = 0; i < taken.CountA && consistent; ++i)
            consistent = taken.ValuesA[i] == i % 1024;
    }
    reader.join();
    EXPECT_TRUE(consistent);
    EXPECT_GT(snapshots, 0);
    EXPECT_EQ(previousCount, capacity); // the last one is the whole record
    EXPECT_TRUE(result.DataReady);
}

TEST(OscBufferDecoder, TriggerOffOneChannelAndThePowerOfTwoCut)
{
    OscFrame frame{};
    std::vector<int> samples(1128);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int>((i * 7) % 1024);
    const auto bytes = EncodeGroups(samples);
    // 281 groups, then 3 upper bytes and the partial group's lower bits in byte 1409
    std::copy(bytes.begin(), bytes.begin() + 1410, frame.begin());

    OscAcquisitionParams p;
    p.pairA = p.pairB = kIdentity;
    OscResult result;
    DecodeOscBuffer(frame, p, {}, result);
    EXPECT_EQ(result.CountA, 1126);
    EXPECT_EQ(result.TrigIndexA, 0);
    EXPECT_EQ(result.CountB, 0);
    for (int i : {0, 1, 2, 3, 4, 1000, 1124, 1125})
        EXPECT_DOUBLE_EQ(result.ValuesA[i], samples[i]) << i;


    p.eightBit = true;
    DecodeOscBuffer(frame, p, {}, result);
    EXPECT_DOUBLE_EQ(result.ValuesA[1], samples[1] & 0x3FC);

    p.eightBit = false;
    p.chBOn = true;
    OscBufferDecodeOptions small;
    small.smallBuffer = true;
    DecodeOscBuffer(frame, p, small, result);
    EXPECT_EQ(result.CountA, 512);
    EXPECT_EQ(result.CountB, 512);
    EXPECT_DOUBLE_EQ(result.ValuesA[1], samples[2]);
    EXPECT_DOUBLE_EQ(result.ValuesB[1], samples[3]);
}

} // namespace
} // namespace tesmar
