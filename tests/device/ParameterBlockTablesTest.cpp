// Every field of the four parameter blocks against values worked out by hand from the protocol
// description: the rules of each byte applied to the inputs on paper, not read back from the code
// or from the virtual instrument, so a misreading shared by host and instrument shows here.

#include "device/AnalogBlockBuilders.h"
#include "device/LogicBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace tesmar {
namespace {

using Bytes9 = std::array<std::uint8_t, 9>;
using Bytes12 = std::array<std::uint8_t, 12>;

struct LogicCase {
    const char* what;
    LogicBlockInput in;
    Bytes9 bytes;
    std::optional<std::uint16_t> wValue, wIndex;
};

// Lines are numbered as in the line lists: 0 … 7 = A.0 … A.7, 8 … 15 = B.0 … B.7. At the fast
// rates the edge list holds B.0 … B.7 only, so byte 4 carries the item among those eight.
const LogicCase kLogicCases[] = {
    {"1 MHz buffered, generator kept, no trigger",
     {.rateEntry = 31, .sampleRate = 1e6, .bufferMode = true, .busBGenerator = true, .keepOutputs = true},
     {5, 0x50, 0, 0, 0, 0, 0, 0, 0}, 0xFFE8, std::nullopt},
    {"8 MHz, B.2 rising",
     {.rateEntry = 36, .sampleRate = 8e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = true, .edgeLine = 10},
     {0, 0, 0xA0, 0, 0x0A, 0, 0, 0, 0}, 0xFFFD, std::nullopt},
    {"2 MHz, B.0 falling, eight pre-trigger samples",
     {.rateEntry = 32, .sampleRate = 2e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = false, .edgeLine = 8, .preTrigger = 8},
     {4, 0, 0x80, 0, 0x00, 0, 0, 8, 0}, 0xFFF4, std::nullopt},
    {"2.667 MHz, B.7 rising",
     {.rateEntry = 33, .sampleRate = 24e6 / 9, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = true, .edgeLine = 15, .preTrigger = 8},
     {3, 0, 0xA0, 0, 0x0F, 0, 0, 8, 0}, 0xFFF7, std::nullopt},
    {"6 MHz, B.5 falling",
     {.rateEntry = 35, .sampleRate = 6e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = false, .edgeLine = 13},
     {1, 0, 0x80, 0, 0x05, 0, 0, 0, 0}, 0xFFFC, std::nullopt},
    {"4 MHz, pattern 1x0, bus A reversed",
     {.rateEntry = 34, .sampleRate = 4e6, .busBGenerator = false, .keepOutputs = false, .busAInverse = true,
      .triggerOn = true, .patternTrigger = true, .patternText = "1x0"},
     {2, 0, 0xD0, 0, 0, 0x20, 0xA0, 0, 0}, 0xFFFA, std::nullopt},
    {"6 MHz, pattern 1x0, bus A not reversed",
     {.rateEntry = 35, .sampleRate = 6e6, .busBGenerator = false, .keepOutputs = false, .busAInverse = false,
      .triggerOn = true, .patternTrigger = true, .patternText = "1x0"},
     {1, 0, 0xD0, 0, 0, 0x04, 0x05, 0, 0}, 0xFFFC, std::nullopt},
    {"1 MHz, 16 lines, B.2 rising",
     {.rateEntry = 31, .sampleRate = 1e6, .busBAnalyser = true, .busBGenerator = false, .keepOutputs = false,
      .triggerOn = true, .edgeRising = true, .edgeLine = 10},
     {5, 0x80, 0xA0, 0, 0xA0, 0x04, 0, 0, 0}, 0xFFE8, std::nullopt},
    {"100 kHz stream, A.1 falling, reversed, pre-trigger 6554",
     {.rateEntry = 20, .sampleRate = 100e3, .bufferMode = false, .busBGenerator = false, .keepOutputs = false,
      .busAInverse = true, .triggerOn = true, .edgeRising = false, .edgeLine = 1, .preTrigger = 0x9A},
     {6, 0, 0x90, 0, 0, 0x40, 0, 0x9A, 0}, 0xFF10, std::nullopt},
    {"100 kHz stream, A.1 falling, not reversed",
     {.rateEntry = 20, .sampleRate = 100e3, .bufferMode = false, .busBGenerator = false, .keepOutputs = false,
      .busAInverse = false, .triggerOn = true, .edgeRising = false, .edgeLine = 1},
     {6, 0, 0x90, 0, 0, 0x02, 0, 0, 0}, 0xFF10, std::nullopt},
    {"1 MHz, 16 lines, pattern on bus B",
     {.rateEntry = 31, .sampleRate = 1e6, .busBAnalyser = true, .busBGenerator = false, .keepOutputs = false,
      .triggerOn = true, .patternTrigger = true, .patternText = "10xxxxx1", .patternOnBusA = false},
     {5, 0x80, 0xC0, 0, 0, 0x81, 0xC1, 0, 0}, 0xFFE8, std::nullopt},
    {"1 MHz, cyclic generator kept, pattern on bus A reversed",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = true, .cyclicGeneration = true, .keepOutputs = true,
      .triggerOn = true, .patternTrigger = true, .patternText = "11110000", .patternOnBusA = true},
     {5, 0x58, 0xD0, 0, 0, 0x0F, 0xFF, 0, 0}, 0xFFE8, std::nullopt},
    {"1 MHz, B.3 falling after 300 rising pulses on A.2",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = false, .edgeLine = 11, .skipRising = true, .skipCount = 300, .skipLine = 2},
     {5, 0, 0x80, 0xE0, 0x30, 0x08, 0, 0, 0x20}, 0xFFE8, 0x022C},
    {"1 MHz, any pattern after 256 falling pulses on B.4",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .patternTrigger = true, .patternText = "xxxxxxxx", .patternOnBusA = true, .skipFalling = true,
      .skipCount = 256, .skipLine = 12},
     {5, 0, 0xD0, 0x80, 0, 0, 0, 0, 0x10}, 0xFFE8, 0x0100},
    {"1 MHz, A.5 rising after 257 pulses on A.0, bus A not reversed",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .busAInverse = false,
      .triggerOn = true, .edgeRising = true, .edgeLine = 5, .skipRising = true, .skipCount = 257, .skipLine = 0},
     {5, 0, 0xB0, 0xE0, 0, 0x20, 0, 0, 0x01}, 0xFFE8, 0x0201},
    {"2 MHz, B.1 rising after 255 pulses on A.6",
     {.rateEntry = 32, .sampleRate = 2e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = true, .edgeLine = 9, .skipFalling = true, .skipCount = 255, .skipLine = 6},
     {4, 0, 0xA0, 0xC0, 0x09, 0, 0, 0, 0x02}, 0xFFF4, 0x01FF},
    {"a pulse direction without a count skips nothing",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = true,
      .edgeRising = true, .edgeLine = 0, .skipRising = true, .skipCount = 0, .skipLine = 3},
     {5, 0, 0xB0, 0, 0, 0x80, 0, 0, 0}, 0xFFE8, std::nullopt},
    {"no pulse skipping with the trigger off",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .triggerOn = false,
      .skipRising = true, .skipCount = 5, .skipLine = 3},
     {5, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFE8, std::nullopt},
    {"external clock on B.3 rising, B.1 rising edge trigger",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = false, .externalClock = true,
      .externalClockLine = 3, .externalEdgeRising = true, .triggerOn = true, .edgeRising = true, .edgeLine = 9},
     {5, 0x20, 0xA0, 0, 0x9B, 0x02, 0, 0, 0}, std::nullopt, std::nullopt},
    {"external clock on B.6 falling, no trigger",
     {.rateEntry = 31, .sampleRate = 1e6, .busBGenerator = false, .keepOutputs = true, .externalClock = true,
      .externalClockLine = 6, .externalEdgeRising = false},
     {5, 0x30, 0, 0, 0x06, 0, 0, 0, 0}, std::nullopt, std::nullopt},
    {"250 kHz stream",
     {.rateEntry = 23, .sampleRate = 250e3, .bufferMode = false, .busBGenerator = false, .keepOutputs = false},
     {6, 0, 0, 0, 0, 0, 0, 0, 0}, 0xFFA0, std::nullopt},
    {"1 kHz stream",
     {.rateEntry = 0, .sampleRate = 1e3, .bufferMode = false, .busBGenerator = false, .keepOutputs = false},
     {6, 0, 0, 0, 0, 0, 0, 0, 0}, 0xA240, std::nullopt},
    {"2.5 kHz buffered, 16 lines",
     {.rateEntry = 2, .sampleRate = 2.5e3, .bufferMode = true, .busBAnalyser = true, .busBGenerator = false,
      .keepOutputs = false},
     {5, 0x80, 0, 0, 0, 0, 0, 0, 0}, 0xDA80, std::nullopt},
};

TEST(LogicBlockTable, EveryByteAndParameterAsWorkedOutByHand)
{
    for (const LogicCase& c : kLogicCases) {
        SCOPED_TRACE(c.what);
        const LogicBlockResult out = BuildLogicBlock(c.in);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(int(out.block.bytes[i]), int(c.bytes[i])) << "byte " << i;
        EXPECT_EQ(out.bRequest, 7);
        EXPECT_EQ(out.wValue, c.wValue);
        EXPECT_EQ(out.wIndex, c.wIndex);
        EXPECT_EQ(out.captureMode, c.bytes[0]);
        EXPECT_TRUE(out.generatorUpload.empty()); // no image given
    }
}

constexpr CalibrationPair kNormal{2.5062196601162, 7.46321147175893e-05};
constexpr CalibrationPair kAttenuated{22.8748891964313, 0.00071381527528063};

struct OscCase {
    const char* what;
    OscBlockInput in;
    Bytes12 bytes;
    std::uint16_t wValue, wIndex;
    int averaging;
    double rate, pointPeriod;
    CalibrationPair pairA, pairB;
    double threshold;
};

const OscCase kOscCases[] = {
    {"both 1 V, 10 µs, absolute trigger on A at 0 V",
     {.timeDiv = 10e-6, .chAOn = true, .chBOn = true, .rangeA = 1.0, .rangeB = 1.0, .preTriggerCount = 100,
      .triggerOn = true, .triggerSource = TriggerSource::ChannelA, .triggerEdge = TriggerEdge::Rising,
      .triggerKind = TriggerKind::Absolute, .levelA = 0.0},
     {0x40, 0x34, 108, 9, 8, 9, 8, 9, 8, 9, 8, 9}, 20'000, 33'581, 1, 200e3, 10e-6, kNormal, kNormal, 0.2},
    {"A at 5 V, B off, 1 ms, no trigger, pre-trigger 300",
     {.timeDiv = 1e-3, .chAOn = true, .chBOn = false, .rangeA = 5.0, .preTriggerCount = 300},
     {0x00, 0x74, 0x2C, 11, 11, 11, 11, 11, 11, 11, 11, 11}, 100, 0, 1, 1e3, 1e-3, kAttenuated, kAttenuated, 0.2},
    {"B alone at 1 V, 5 ms, absolute falling trigger on B at 1 V",
     {.timeDiv = 5e-3, .chAOn = false, .chBOn = true, .rangeA = 20.0, .rangeB = 1.0, .preTriggerCount = 20,
      .triggerOn = true, .triggerSource = TriggerSource::ChannelB, .triggerEdge = TriggerEdge::Falling,
      .levelB = 1.0},
     // 200 samples/s travels in hertz; (2.5062196601162 − 1) / k = 20181.92
     {0x62, 0x74, 24, 9, 9, 9, 9, 9, 9, 9, 9, 9}, 200, 20'182, 1, 200.0, 5e-3, kAttenuated, kNormal, 0.2},
    {"both on, external trigger, rising",
     {.timeDiv = 10e-6, .chAOn = true, .chBOn = true, .rangeA = 1.0, .rangeB = 10.0, .preTriggerCount = 100,
      .triggerOn = true, .triggerSource = TriggerSource::External, .triggerEdge = TriggerEdge::Rising},
     {0x70, 0x34, 100, 8, 8, 10, 8, 10, 8, 10, 8, 10}, 20'000, 0, 1, 200e3, 10e-6, kNormal, kAttenuated, 0.2},
    {"external trigger, falling",
     {.timeDiv = 10e-6, .chAOn = true, .rangeA = 1.0, .preTriggerCount = 100, .triggerOn = true,
      .triggerSource = TriggerSource::External, .triggerEdge = TriggerEdge::Falling},
     // one channel: R = 100 kHz, not above 100 kHz for the timing code
     {0x50, 0x74, 100, 8, 8, 8, 8, 8, 8, 8, 8, 8}, 10'000, 0, 1, 100e3, 10e-6, kNormal, kAttenuated, 0.2},
    {"difference trigger on A, rising, 1 V",
     {.timeDiv = 10e-6, .chAOn = true, .rangeA = 1.0, .preTriggerCount = 100, .triggerOn = true,
      .triggerSource = TriggerSource::ChannelA, .triggerEdge = TriggerEdge::Rising,
      .triggerKind = TriggerKind::Difference, .typedThreshold = 1.0},
     // −round(1 / k) = −13399
     {0x48, 0x74, 100, 8, 8, 8, 8, 8, 8, 8, 8, 8}, 10'000, 52'137, 1, 100e3, 10e-6, kNormal, kAttenuated, 1.0},
    {"difference trigger on B, falling, threshold 100 clamped to 20",
     {.timeDiv = 1.0 / 120e3, .chAOn = false, .chBOn = true, .rangeB = 10.0, .preTriggerCount = 0,
      .triggerOn = true, .triggerSource = TriggerSource::ChannelB, .triggerEdge = TriggerEdge::Falling,
      .triggerKind = TriggerKind::Difference, .typedThreshold = 100.0},
     // round(20 / 0.00071381527528063) = 28018
     {0x68, 0x44, 0, 10, 10, 10, 10, 10, 10, 10, 10, 10}, 12'000, 28'018, 1, 120e3, 1.0 / 120e3, kAttenuated,
     kAttenuated, 20.0},
    {"old codes, trigger source B with both on",
     {.timeDiv = 1e-3, .chAOn = true, .chBOn = true, .rangeA = 1.0, .rangeB = 2.0, .oldInputCodes = true,
      .preTriggerCount = 100, .triggerSource = TriggerSource::ChannelB},
     {0x00, 0x74, 100, 9, 9, 8, 9, 8, 9, 8, 9, 8}, 200, 0, 1, 2e3, 1e-3, kNormal, kNormal, 0.2},
    {"401 samples/s: tested before the second quantisation",
     {.timeDiv = 1.0 / 401, .chAOn = true, .rangeA = 1.0, .preTriggerCount = 100},
     {0x00, 0x74, 100, 8, 8, 8, 8, 8, 8, 8, 8, 8}, 40, 0, 1, 400.0, 1.0 / 400, kNormal, kAttenuated, 0.2},
    {"stream, averaging allowed, boundary 100 µs",
     {.timeDiv = 1e-3, .chAOn = true, .rangeA = 1.0, .streamMode = true, .preTriggerCount = 0,
      .disableAveraging = false, .bufferBoundaryPeriod = 100e-6},
     // N = 9; f = 24 MHz / trunc(24 MHz / 9000) = 24 MHz / 2666; wValue = round(900.225)
     {0x80, 0x74, 0, 8, 8, 8, 8, 8, 8, 8, 8, 8}, 900, 0, 9, 24e6 / 2666, 9 * 2666 / 24e6, kNormal, kAttenuated,
     0.2},
    {"stream, averaging forbidden",
     {.timeDiv = 1e-3, .chAOn = true, .rangeA = 1.0, .streamMode = true, .preTriggerCount = 0,
      .disableAveraging = true, .bufferBoundaryPeriod = 100e-6},
     {0x80, 0x74, 0, 8, 8, 8, 8, 8, 8, 8, 8, 8}, 100, 0, 1, 1e3, 1e-3, kNormal, kAttenuated, 0.2},
};

TEST(OscBlockTable, EveryByteAndDerivedValueAsWorkedOutByHand)
{
    for (const OscCase& c : kOscCases) {
        SCOPED_TRACE(c.what);
        const OscBlock out = BuildOscBlock(c.in);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(int(out.block.bytes[i]), int(c.bytes[i])) << "byte " << i;
        EXPECT_EQ(out.bRequest, 5);
        EXPECT_EQ(out.wValue, c.wValue);
        EXPECT_EQ(out.wIndex, c.wIndex);
        EXPECT_EQ(out.averaging, c.averaging);
        EXPECT_NEAR(out.rate, c.rate, c.rate * 1e-12);
        EXPECT_NEAR(out.pointPeriod, c.pointPeriod, c.pointPeriod * 1e-12);
        EXPECT_EQ(out.pairA, c.pairA);
        EXPECT_EQ(out.pairB, c.pairB);
        EXPECT_DOUBLE_EQ(out.threshold, c.threshold);
        EXPECT_EQ(out.chAOn, c.in.chAOn);
        EXPECT_EQ(out.chBOn, c.in.chBOn);
        EXPECT_EQ(out.capacity, c.in.capacity);
        EXPECT_EQ(out.preTriggerCount, c.in.preTriggerCount);
    }
}

struct SpectrumCase {
    const char* what;
    SpectrumBlockInput in;
    Bytes12 bytes;
    std::uint16_t wValue;
    int averaging;
    double rate, sampleRate;
    CalibrationPair pairA, pairB;
};

const SpectrumCase kSpectrumCases[] = {
    {"B alone at 1 V, 50 kHz",
     {.sampleRate = 50e3, .chAOn = false, .chBOn = true, .rangeB = 1.0},
     {0x00, 0x74, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9}, 5'000, 1, 50e3, 50e3, kAttenuated, kNormal},
    {"both on, A 5 V, B 10 V, 100 kHz",
     {.sampleRate = 100e3, .chAOn = true, .chBOn = true, .rangeA = 5.0, .rangeB = 10.0},
     {0x00, 0x34, 0, 0, 11, 10, 11, 10, 11, 10, 11, 10}, 20'000, 1, 200e3, 100e3, kAttenuated, kAttenuated},
    {"stream, averaging up to a 20 kHz boundary",
     {.sampleRate = 1e3, .chAOn = true, .rangeA = 2.0, .streamMode = true, .disableAveraging = false,
      .bufferBoundaryRate = 20e3},
     // N = 19; f = 24 MHz / trunc(24 MHz / 19 000) = 24 MHz / 1263; wValue = round(1900.24)
     {0x80, 0x74, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8}, 1'900, 19, 24e6 / 1263, 1e3, kNormal, kAttenuated},
    {"300 Hz travels in hertz",
     {.sampleRate = 300, .chAOn = true, .rangeA = 1.0, .oldInputCodes = true},
     {0x02, 0x74, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9}, 300, 1, 300, 300, kNormal, kAttenuated},
    {"150 kHz is not above 150 kHz",
     {.sampleRate = 150e3, .chAOn = true, .rangeA = 1.0},
     {0x00, 0x44, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8}, 15'000, 1, 150e3, 150e3, kNormal, kAttenuated},
};

TEST(SpectrumBlockTable, EveryByteAndDerivedValueAsWorkedOutByHand)
{
    for (const SpectrumCase& c : kSpectrumCases) {
        SCOPED_TRACE(c.what);
        const SpectrumBlock out = BuildSpectrumBlock(c.in);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(int(out.block.bytes[i]), int(c.bytes[i])) << "byte " << i;
        EXPECT_EQ(out.bRequest, 5);
        EXPECT_EQ(out.wValue, c.wValue);
        EXPECT_EQ(out.averaging, c.averaging);
        EXPECT_NEAR(out.rate, c.rate, c.rate * 1e-12);
        EXPECT_NEAR(out.sampleRate, c.sampleRate, c.sampleRate * 1e-12);
        EXPECT_EQ(out.pairA, c.pairA);
        EXPECT_EQ(out.pairB, c.pairB);
        EXPECT_EQ(out.capacity, c.in.capacity);
    }
}

struct RecorderCase {
    const char* what;
    RecorderBlockInput in;
    Bytes12 bytes;
    std::uint16_t wValue;
    int averaging;
    double rate;
    bool tooFast;
    CalibrationPair pairA, pairB;
};

const RecorderCase kRecorderCases[] = {
    {"A at 20 V, 0.1 s, working limit 1 kHz",
     {.timeDiv = 0.1, .chAOn = true, .rangeA = 20.0, .workingLimit = 1e3, .displayLimit = 200e3},
     // N = 99; f = 24 MHz / trunc(24 MHz / 990) = 24 MHz / 24242; wValue = round(99.0017)
     {0x80, 0x74, 0, 0, 11, 11, 11, 11, 11, 11, 11, 11}, 99, 99, 24e6 / 24242, false, kAttenuated, kAttenuated},
    {"averaging forbidden below 100 samples/s: up to 100",
     {.timeDiv = 0.1, .chAOn = true, .rangeA = 20.0, .disableAveraging = true},
     // N = 9; f = 24 MHz / trunc(24 MHz / 90) = 24 MHz / 266666, below 400: in hertz
     {0x82, 0x74, 0, 0, 11, 11, 11, 11, 11, 11, 11, 11}, 90, 9, 24e6 / 266666, false, kAttenuated, kAttenuated},
    {"averaging forbidden at 1 kHz: none",
     {.timeDiv = 1e-3, .chAOn = true, .rangeA = 1.0, .disableAveraging = true},
     {0x80, 0x74, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8}, 100, 1, 1e3, false, kNormal, kAttenuated},
    {"both on at 10 µs above a 10 kHz display limit",
     {.timeDiv = 10e-6, .chAOn = true, .chBOn = true, .rangeA = 1.0, .rangeB = 1.0, .displayLimit = 10e3},
     {0x80, 0x34, 0, 0, 8, 9, 8, 9, 8, 9, 8, 9}, 20'000, 1, 200e3, true, kNormal, kNormal},
    {"one sample in 2 s: the limit drops to 1000",
     {.timeDiv = 2.0, .chAOn = true, .rangeA = 1.0},
     // N = 1999: 0.5 × 2000 is not below 1000; f = 24 MHz / 24012 = 999.5, g = 1000
     {0x80, 0x74, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8}, 100, 1999, 1e3, false, kNormal, kAttenuated},
    {"B alone with old codes",
     {.timeDiv = 1e-3, .chAOn = false, .chBOn = true, .rangeB = 1.0, .oldInputCodes = true,
      .workingLimit = 1e3},
     {0x80, 0x74, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8}, 100, 1, 1e3, false, kAttenuated, kNormal},
};

TEST(RecorderBlockTable, EveryByteAndDerivedValueAsWorkedOutByHand)
{
    for (const RecorderCase& c : kRecorderCases) {
        SCOPED_TRACE(c.what);
        const RecorderBlock out = BuildRecorderBlock(c.in);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(int(out.block.bytes[i]), int(c.bytes[i])) << "byte " << i;
        EXPECT_EQ(out.bRequest, 5);
        EXPECT_EQ(out.wValue, c.wValue);
        EXPECT_EQ(out.averaging, c.averaging);
        EXPECT_NEAR(out.rate, c.rate, c.rate * 1e-12);
        EXPECT_EQ(out.tooFast, c.tooFast);
        EXPECT_EQ(out.pairA, c.pairA);
        EXPECT_EQ(out.pairB, c.pairB);
    }
}

} // namespace
} // namespace tesmar
