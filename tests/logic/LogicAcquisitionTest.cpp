#include "logic/LogicMode.h"
#include "logic/LogicStreamRecorder.h"
#include "logic/LogicUnpack.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tesmar {
namespace {

const std::vector<double> kEntries = {1e3,   2e3,   2.5e3, 3e3,   4e3,   5e3,   6e3,   7e3,   8e3,   9e3,
                                      10e3,  20e3,  25e3,  30e3,  40e3,  50e3,  60e3,  70e3,  80e3,  90e3,
                                      100e3, 150e3, 200e3, 250e3, 300e3, 400e3, 500e3, 600e3, 700e3, 800e3,
                                      900e3, 1e6,   2e6,   2.667e6, 4e6, 6e6,   8e6};

LogicModeInput Input(int entry)
{
    LogicModeInput in;
    in.rateEntry = entry;
    in.entryValues = kEntries;
    in.generator = false;
    return in;
}

TEST(LogicMode, ReadTypeDepthAndPreTriggerAcrossTheKnob)
{
    struct Case {
        int entry;
        bool triggerOn, generator, sixteen, skip;
        int rateCode;
        bool buffered;
        std::int64_t depth, pre;
    } cases[] = {
        {31, false, false, false, false, 5, true, 1544, 0},      // 1 MHz
        {31, true, false, false, false, 5, true, 1544, 32},
        {31, true, false, false, true, 5, true, 1544, 0},        // pulse skipping: no pre-trigger
        {23, false, false, false, false, 6, false, 65536, 0},    // 250 kHz streamed
        {23, true, false, false, false, 6, false, 65536, 6554},  // 10 % of 64 K
        {24, true, false, false, false, 5, true, 1544, 32},      // 300 kHz buffered
        {20, true, false, true, false, 5, true, 1544, 0},        // 16 lines: buffered, no pre-trigger
        {20, true, true, false, false, 5, true, 1544, 0},        // generator
        {32, true, false, false, false, 4, true, 1160, 8},
        {33, true, false, false, true, 3, true, 1160, 0},
        {36, true, false, false, false, 0, true, 128, 0},
        {34, false, false, false, false, 2, true, 128, 0},
    };
    for (const Case& c : cases) {
        LogicModeInput in = Input(c.entry);
        in.triggerOn = c.triggerOn;
        in.generator = c.generator;
        in.sixteenLines = c.sixteen;
        in.pulseSkipActive = c.skip;
        const LogicMode m = ChooseLogicMode(in);
        EXPECT_EQ(m.rateCode, c.rateCode) << c.entry;
        EXPECT_EQ(m.buffered, c.buffered) << c.entry;
        EXPECT_EQ(m.depth, c.depth) << c.entry;
        EXPECT_EQ(m.preTrigger, c.pre) << c.entry;
    }
    EXPECT_DOUBLE_EQ(ChooseLogicMode(Input(33)).sampleRate, 24e6 / 9);
    EXPECT_DOUBLE_EQ(ChooseLogicMode(Input(22)).sampleRate, 24e6 / 120);
}

TEST(LogicMode, ControlStates)
{
    LogicMode fast = ChooseLogicMode(Input(35));
    EXPECT_FALSE(fast.busBModesEnabled);
    EXPECT_TRUE(fast.releaseBusBModes);
    EXPECT_EQ(fast.edgeLines, LogicLineList::BusB);
    EXPECT_EQ(fast.passLines, LogicLineList::BusA);
    EXPECT_FALSE(fast.passEnabled);
    EXPECT_FALSE(fast.externalEnabled);

    LogicModeInput in = Input(31);
    in.generator = true;
    LogicMode gen = ChooseLogicMode(in);
    EXPECT_FALSE(gen.externalEnabled);
    EXPECT_EQ(gen.edgeLines, LogicLineList::BusA);
    EXPECT_EQ(gen.passLines, LogicLineList::BusA);

    in.generator = false;
    in.externalClock = true;
    LogicMode ext = ChooseLogicMode(in);
    EXPECT_FALSE(ext.generatorEnabled);
    EXPECT_TRUE(ext.releaseGenerator);
    EXPECT_EQ(ext.edgeLines, LogicLineList::All);

    in = Input(10);
    EXPECT_EQ(ChooseLogicMode(in).edgeLines, LogicLineList::BusA); // streamed
    in.sixteenLines = true;
    EXPECT_TRUE(ChooseLogicMode(in).maskOnBusBEnabled);

    // The largest depth's pre-trigger needs 64 bits.
    in = Input(10);
    in.triggerOn = true;
    in.streamDepthIndex = 16;
    in.streamPrePercent = 99;
    EXPECT_EQ(ChooseLogicMode(in).depth, 268'435'456);
    EXPECT_EQ(ChooseLogicMode(in).preTrigger, 265'751'101);
    in.bufferLimitIndex = 0; // "Все": everything through the buffer
    EXPECT_TRUE(ChooseLogicMode(in).buffered);
}

LogicBufferFrame CountingFrame()
{
    LogicBufferFrame f;
    for (int i = 0; i < 136; ++i)
        f.head[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < kLogicBodyBytes; ++i)
        f.body[i] = static_cast<std::uint8_t>(200 + i);
    return f;
}

TEST(LogicMode, ASavedCaptureFindsTheKnobEntryItWasTakenAt)
{
    const struct {
        int rateCode;
        double sampleRate;
        std::optional<int> entry;
    } cases[] = {
        {6, 250e3, 23},                 // streamed at 250 kHz
        {5, 1e6, 31},
        {5, 2.5e3, 2},
        {5, 24e6 / 7, std::nullopt},    // an external clock's frequency: no entry
        {5, 24e6 / 3428, 7},            // 7 kHz on the divider's grid
        {0, 8e6, 36},
        {3, 24e6 / 9, 33},
        {4, 2e6, 32},
        {5, 0.0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogicEntryForCapture(kEntries, c.rateCode, c.sampleRate), c.entry) << c.rateCode << " " << c.sampleRate;
}

TEST(LogicUnpack, FastCodesReorderTheHead)
{
    LogicBufferFrame f = CountingFrame();
    LogicBufferLayout l;
    l.busAInverse = false;
    l.rateCode = 1;
    EXPECT_EQ(UnpackLogicBuffer(f, l).busA.size(), 128u);

    l.rateCode = 4;
    l.triggerOn = true;
    f.head[136] = 0x08; // r = 7: no rotation
    UnpackedLogic u = UnpackLogicBuffer(f, l);
    ASSERT_EQ(u.busA.size(), 1160u);
    EXPECT_EQ(u.preTrigger, 8);
    EXPECT_EQ(u.busA[0], 128);
    EXPECT_EQ(u.busA[7], 135);
    EXPECT_EQ(u.busA[8], 0);
    EXPECT_EQ(u.busA[136], 200);

    f.head[136] = 0x03; // code 4: r = 2, the first eight rotate to 3 … 7, 0 … 2
    u = UnpackLogicBuffer(f, l);
    EXPECT_EQ(u.busA[0], 131);
    EXPECT_EQ(u.busA[4], 135);
    EXPECT_EQ(u.busA[5], 128);
    EXPECT_EQ(u.busA[7], 130);
    l.rateCode = 3; // code 3 uses r as it is: 3
    u = UnpackLogicBuffer(f, l);
    EXPECT_EQ(u.busA[0], 132);
}

TEST(LogicUnpack, BufferedEightAndSixteenLines)
{
    LogicBufferFrame f = CountingFrame();
    LogicBufferLayout l;
    l.busAInverse = false;
    l.rateCode = 5;
    l.triggerOn = true;
    l.preTriggerByte = 32;
    f.head[136] = 12; // s = 32 − 12 + 1 = 21
    UnpackedLogic u = UnpackLogicBuffer(f, l);
    ASSERT_EQ(u.busA.size(), 1544u);
    EXPECT_EQ(u.preTrigger, 31);
    EXPECT_EQ(u.busA[0], 21);
    EXPECT_EQ(u.busA[10], 31);
    EXPECT_EQ(u.busA[11], 0);
    EXPECT_EQ(u.busA[32], 32);
    f.head[136] = 1; // outside 2 … p + 1: as it is
    EXPECT_EQ(UnpackLogicBuffer(f, l).busA[0], 0);

    l.sixteenLines = true;
    l.busAInverse = true;
    u = UnpackLogicBuffer(f, l);
    ASSERT_EQ(u.busA.size(), 772u);
    ASSERT_EQ(u.busB.size(), 772u);
    EXPECT_EQ(u.busA[1], ReverseBits(2));
    EXPECT_EQ(u.busB[1], 3); // bus B keeps its order
    EXPECT_EQ(u.busA[68], ReverseBits(200));
    EXPECT_EQ(ReverseBits(0b00000001), 0b10000000);
    EXPECT_EQ(ReverseBits(0b11000100), 0b00100011);
}

TEST(LogicStreamRecorder, NoPreTriggerStoresTheFirstBytes)
{
    std::vector<std::uint8_t> capture(1000);
    LogicStreamRecorder r(capture, 0, {true, 0xFF, 0xFF, true});
    std::vector<std::uint8_t> block(512);
    for (int b = 0; b < 3 && !r.full(); ++b) {
        std::iota(block.begin(), block.end(), static_cast<std::uint8_t>(b));
        r.feed(block);
    }
    EXPECT_TRUE(r.full());
    EXPECT_FALSE(r.triggered());
    EXPECT_EQ(capture[511], 255);
    EXPECT_EQ(capture[512], 1);
}

TEST(LogicStreamRecorder, TriggerAcrossBlocksAndAtTheRingEdges)
{
    // Edge trigger on bit 0x10, rising, P = 4, depth 10; bytes arrive one block of 3 at a time.
    std::vector<std::uint8_t> capture(10);
    LogicStreamRecorder r(capture, 4, {false, 0x10, 0, true});
    const std::vector<std::uint8_t> stream = {1, 2, 3, 4, 5, 6, 0x17, 8, 9, 10, 11, 12, 13, 14};
    for (std::size_t i = 0; i < stream.size(); i += 3)
        r.feed(std::span(stream).subspan(i, std::min<std::size_t>(3, stream.size() - i)));
    ASSERT_TRUE(r.triggered());
    EXPECT_EQ(r.ringPosition(), 2); // ring 0 … 3 held 5, 6, 0x17 after 1 … 4
    EXPECT_TRUE(r.full());
    RotateLogicRing(capture, 4, r.ringPosition());
    EXPECT_EQ(capture, (std::vector<std::uint8_t>{4, 5, 6, 0x17, 8, 9, 10, 11, 12, 13}));

    // Firing on the very first searched byte: ring position 0.
    std::vector<std::uint8_t> c2(6);
    LogicStreamRecorder first(c2, 3, {true, 0x80, 0x80, true});
    first.feed(std::vector<std::uint8_t>{1, 2, 3, 0x80, 5, 6, 7, 8});
    ASSERT_TRUE(first.triggered());
    EXPECT_EQ(first.ringPosition(), 0);
    RotateLogicRing(c2, 3, 0);
    EXPECT_EQ(c2, (std::vector<std::uint8_t>{2, 3, 0x80, 5, 6, 7}));

    // Firing at the last ring index leaves the ring as it is.
    std::vector<std::uint8_t> c3(5);
    LogicStreamRecorder last(c3, 3, {true, 0x80, 0x80, true});
    last.feed(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0x80, 7, 8});
    EXPECT_EQ(last.ringPosition(), 2);
    RotateLogicRing(c3, 3, 2);
    EXPECT_EQ(c3, (std::vector<std::uint8_t>{4, 5, 0x80, 7, 8}));

    // Falling edge needs the previous sample high.
    std::vector<std::uint8_t> c4(4);
    LogicStreamRecorder falling(c4, 2, {false, 0x01, 0, false});
    falling.feed(std::vector<std::uint8_t>{0, 0, 0, 1, 1, 0, 9, 9});
    EXPECT_TRUE(falling.triggered());
    EXPECT_EQ(c4[falling.ringPosition()], 0);
}

} // namespace
} // namespace tesmar
