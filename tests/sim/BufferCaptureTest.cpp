#include "osc/OscBufferDecoder.h"
#include "sim/BufferCapture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tesmar {
namespace {

// A sample sequence whose every value (and lower bits) differs from its neighbours.
int Raw(std::int64_t n)
{
    return static_cast<int>((n * 37 + 11) % 1024);
}

AnalogBlock Block(std::uint8_t flags, int preTrigger)
{
    AnalogBlock block;
    block.bytes[0] = flags;
    block.bytes[2] = static_cast<std::uint8_t>(preTrigger);
    return block;
}

OscFrame FrameOf(const BufferCapture& capture)
{
    OscFrame frame{};
    std::copy(capture.frame().begin(), capture.frame().end(), frame.begin());
    return frame;
}

TEST(BufferCapture, WithoutTriggerTheRecordIsTheFirstSamplesFromByteZero)
{
    const AnalogBlock block = Block(0, 100);
    BufferCapture capture(block, 0);
    std::int64_t n = 0;
    while (!capture.complete())
        capture.feed(Raw(n++), true, false);
    EXPECT_EQ(n, 1127); // 281 whole groups and a last group of three
    const auto samples = UnpackOscFrame(FrameOf(capture), block, false);
    for (int i = 0; i < kOscBufferSamples; ++i)
        ASSERT_EQ(samples[i], Raw(i)) << i;
}

// The external trigger fires on a chosen sample, so every stop of the ring (each r = w mod 5, each
// wrap) can be reached; the host's unpacker must get the samples back in time order with the
// trigger sample last in the ring.
TEST(BufferCapture, RingStopsAnywhereAndUnpacksInTimeOrder)
{
    for (const int preTrigger : {8, 12, 100, 208, 252}) {
        const AnalogBlock block = Block(AnalogBlock::kTriggerOn | AnalogBlock::kExternal | AnalogBlock::kEdge, preTrigger);
        std::set<int> stops;
        for (std::int64_t fire = preTrigger - 1; fire < 3 * preTrigger + 8; ++fire) {
            SCOPED_TRACE("pre-trigger " + std::to_string(preTrigger) + ", trigger sample " + std::to_string(fire));
            BufferCapture capture(block, 0);
            std::int64_t n = 0;
            while (!capture.complete())
                capture.feed(Raw(n), true, n >= fire), ++n;
            ASSERT_EQ(n, fire + 1 + 1127 - preTrigger);
            const OscFrame frame = FrameOf(capture);
            const int w = frame[1410] | (frame[1411] << 8);
            ASSERT_LT(w, preTrigger / 4 * 5);
            ASSERT_NE(w % 5, 4);
            stops.insert(w % 5);
            const auto samples = UnpackOscFrame(frame, block, false);
            for (int i = 0; i < kOscBufferSamples; ++i)
                ASSERT_EQ(samples[i], Raw(fire - preTrigger + 1 + i)) << "decoded sample " << i;
        }
        EXPECT_EQ(stops, (std::set<int>{0, 1, 2, 3}));
    }
}

// Level trigger as a run of trigger-input samples: 'S' on the starting side, 'B' beyond the level.
// The level is code 32768 (raw 512); with bit 5 clear the code must fall below it.
TEST(BufferCapture, LevelTriggerNeedsThreeStartingThenFiveBeyond)
{
    struct Case {
        const char* runs;
        bool risingCode;
        int preTrigger;
        int fireAt; // sample index that completes the trigger, -1 for none
    } cases[] = {
        {"SSSBBBBB", false, 8, 7},
        {"SSSSSSBBBBBBBB", false, 8, 10},
        {"SSBBBBBSS", false, 8, -1},         // two on the starting side are not enough
        {"SSSSBBSBBBBB", false, 8, -1},      // the interruption starts the count again
        {"SSSSBBSSSBBBBB", false, 8, 13},
        {"SSSSSSSSBBBBBBBB", false, 20, -1}, // ring not yet full when the filter is satisfied
        {"SSSBBBBB", true, 8, 7},            // bit 5 set: the code rises through the level
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runs);
        const std::uint8_t flags = AnalogBlock::kTriggerOn | (c.risingCode ? AnalogBlock::kEdge : 0);
        BufferCapture capture(Block(flags, c.preTrigger), 32768);
        const int below = 400, above = 600; // raw; code = raw × 64
        int fired = -1;
        for (int i = 0; c.runs[i] != '\0' && fired < 0; ++i) {
            const bool beyond = c.runs[i] == 'B';
            capture.feed(beyond != c.risingCode ? below : above, true, false);
            if (capture.triggered())
                fired = i;
        }
        EXPECT_EQ(fired, c.fireAt);
    }
}

TEST(BufferCapture, OnlyTriggerInputSamplesAreTested)
{
    // Every other sample is the other channel, far beyond the level: it must not count.
    BufferCapture capture(Block(AnalogBlock::kTriggerOn, 16), 32768);
    for (int i = 0; i < 40; ++i)
        capture.feed(i % 2 == 0 ? 100 : 600, i % 2 == 1, false);
    EXPECT_FALSE(capture.triggered());
}

TEST(BufferCapture, DifferenceTriggerComparesSuccessiveTriggerSamples)
{
    struct Case {
        std::vector<int> raws;
        bool risingCode;
        int threshold; // signed, in the 16-bit unit
        int fireAt;
    } cases[] = {
        {{500, 500, 500, 490, 470}, false, -1000, 4}, // code falls by 1280 (voltage rises)
        {{500, 500, 500, 490, 486}, false, -1000, -1}, // falls by 640 and 256 only
        {{500, 500, 500, 520, 540}, true, 1000, 3},     // code rises by 1280
        {{500, 500, 500, 480, 460}, true, 1000, -1},    // wrong direction
        {{500, 470, 500, 500, 500}, false, -1000, -1},  // the jump came before the ring was full
    };
    for (const Case& c : cases) {
        const std::uint8_t flags = AnalogBlock::kTriggerOn | AnalogBlock::kDifference | (c.risingCode ? AnalogBlock::kEdge : 0);
        BufferCapture capture(Block(flags, 4 /* one group */), static_cast<std::uint16_t>(c.threshold));
        int fired = -1;
        for (std::size_t i = 0; i < c.raws.size() && fired < 0; ++i) {
            capture.feed(c.raws[i], true, false);
            if (capture.triggered())
                fired = static_cast<int>(i);
        }
        EXPECT_EQ(fired, c.fireAt) << "case with threshold " << c.threshold;
    }
}

TEST(BufferCapture, ExternalTriggerTakesTheChosenEdgeOnly)
{
    for (const bool rising : {true, false}) {
        const std::uint8_t flags = AnalogBlock::kTriggerOn | AnalogBlock::kExternal | (rising ? AnalogBlock::kEdge : 0);
        BufferCapture capture(Block(flags, 4), 0);
        // The input starts high, falls at sample 6 and rises at sample 10.
        int fired = -1;
        for (int i = 0; i < 16 && fired < 0; ++i) {
            capture.feed(512, false, i < 6 || i >= 10);
            if (capture.triggered())
                fired = i;
        }
        EXPECT_EQ(fired, rising ? 10 : 6);
    }
}

} // namespace
} // namespace tesmar
