#include <cmath>
#include <cstring>
#include "device/AnalogBlockBuilders.h"
#include "device/DeviceClock.h"
#include "device/LogicBlock.h"
#include "device/ServiceCommands.h"
#include "device/UsbStatus.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(DeviceClock, QuantisesOntoTheTwentyFourMegahertzGrid)
{
    EXPECT_DOUBLE_EQ(QuantizeRate(200'000), 200'000);
    EXPECT_NEAR(QuantizeRate(401), 24e6 / 59'850, 1e-9);
    EXPECT_DOUBLE_EQ(QuantizePeriod(1.0), 1.0);
    // decimal periods are whole ticks even though they are not exact in binary
    for (double t : {1e-6, 5e-6, 25e-6, 0.1e-3, 10e-3})
        EXPECT_DOUBLE_EQ(QuantizePeriod(t), t) << t;
    EXPECT_DOUBLE_EQ(QuantizeRate(1.0 / 5e-6), 200'000);
    EXPECT_DOUBLE_EQ(QuantizePeriod(2.5 / 24e6), 2.0 / 24e6);
    EXPECT_DOUBLE_EQ(QuantizePeriod(1.0 / 48e6), 0.0);
}

struct RateCase {
    double rate;
    bool inHertz;
    std::uint16_t wValue;
    std::uint8_t timing;
};

TEST(SampleRateCode, FollowsTheUnitAndTimingRules)
{
    const RateCase cases[] = {
        {200'000, false, 20'000, 0x34}, {200, true, 200, 0x74},     {401, false, 40, 0x74},
        {120'000, false, 12'000, 0x44}, {150'000, false, 15'000, 0x44}, {100'000, false, 10'000, 0x74},
        {400, true, 400, 0x74},
    };
    for (const RateCase& c : cases) {
        SCOPED_TRACE(c.rate);
        const SampleRateCode code = ComputeSampleRateCode(c.rate, 1);
        EXPECT_EQ(code.inHertz, c.inHertz);
        EXPECT_EQ(code.wValue, c.wValue);
        EXPECT_EQ(code.timingCode, c.timing);
    }
    EXPECT_DOUBLE_EQ(ComputeSampleRateCode(401, 1).rate, 400.0);
}

TEST(OscBlock, BothChannelsWithTriggerOnASendsBsCodeAsTriggerInput)
{
    OscBlockInput in;
    in.chAOn = in.chBOn = true;
    in.rangeA = in.rangeB = 1.0;
    in.timeDiv = 10e-6;
    in.triggerOn = true;
    in.triggerSource = TriggerSource::ChannelA;
    const OscBlock out = BuildOscBlock(in);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out.block.bytes[4 + i], i % 2 == 0 ? 8 : 9) << i;
    EXPECT_EQ(out.block.bytes[3], 9);
    // both on: R = 2 / 10 µs = 200 kHz, point period 2 / f
    EXPECT_EQ(out.wValue, 20'000);
    EXPECT_EQ(out.block.bytes[1], 0x34);
    EXPECT_DOUBLE_EQ(out.pointPeriod, 10e-6);
    // absolute trigger adds 4 per channel on to the pre-trigger length
    EXPECT_EQ(out.block.bytes[2], 100 + 8);
    EXPECT_EQ(out.block.bytes[0], AnalogBlock::kTriggerOn);
}

TEST(OscBlock, AttenuatedAndOldCodes)
{
    OscBlockInput in;
    in.rangeA = 5.0;
    OscBlock out = BuildOscBlock(in);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out.block.bytes[4 + i], 11);
    EXPECT_EQ(out.block.bytes[3], 11);
    EXPECT_EQ(out.pairA, CalibrationSet{}.aAttenuated);

    in.rangeA = 2.0; // the threshold itself still uses the normal range
    in.oldInputCodes = true;
    out = BuildOscBlock(in);
    EXPECT_EQ(out.block.bytes[4], 9);
    in.chAOn = false;
    in.chBOn = true;
    in.rangeB = 0.5;
    EXPECT_EQ(BuildOscBlock(in).block.bytes[4], 8);
    in.chBOn = false; // none on: B's code
    EXPECT_EQ(BuildOscBlock(in).block.bytes[11], 8);
}

TEST(OscBlock, TriggerCodes)
{
    OscBlockInput in;
    in.rangeA = 1.0;
    in.triggerOn = true;
    in.levelA = 0.0;
    OscBlock out = BuildOscBlock(in);
    EXPECT_EQ(out.wIndex, 33'581);
    EXPECT_EQ(out.block.bytes[0] & AnalogBlock::kEdge, 0);

    in.triggerEdge = TriggerEdge::Falling;
    EXPECT_EQ(BuildOscBlock(in).block.bytes[0] & AnalogBlock::kEdge, AnalogBlock::kEdge);

    // difference trigger: threshold / k, negated for a rising edge, 16-bit two's complement
    in.triggerKind = TriggerKind::Difference;
    in.typedThreshold = 1.0;
    in.triggerEdge = TriggerEdge::Rising;
    out = BuildOscBlock(in);
    const long long code = std::llrint(1.0 / 7.46321147175893e-05);
    EXPECT_EQ(out.wIndex, static_cast<std::uint16_t>(-code));
    EXPECT_TRUE(out.block.bytes[0] & AnalogBlock::kDifference);
    EXPECT_EQ(out.block.bytes[2], 100); // no per-channel addition for the difference trigger

    in.triggerSource = TriggerSource::External;
    out = BuildOscBlock(in);
    EXPECT_EQ(out.wIndex, 0);
    EXPECT_EQ(out.block.bytes[0], AnalogBlock::kTriggerOn | AnalogBlock::kExternal | AnalogBlock::kEdge);

    in.triggerOn = false;
    out = BuildOscBlock(in);
    EXPECT_EQ(out.wIndex, 0);
    EXPECT_EQ(out.block.bytes[0], 0);
}

TEST(OscBlock, DifferenceThresholdIsClampedAndKeptWhenNotANumber)
{
    OscBlockInput in;
    in.typedThreshold = 100.0;
    EXPECT_DOUBLE_EQ(BuildOscBlock(in).threshold, 20.0);
    in.typedThreshold = 0.05;
    EXPECT_DOUBLE_EQ(BuildOscBlock(in).threshold, 0.2);
    in.typedThreshold.reset();
    in.previousThreshold = 3.5;
    EXPECT_DOUBLE_EQ(BuildOscBlock(in).threshold, 3.5);
}

TEST(OscBlock, AveragingOnlyInStreamModeWithAveragingAllowed)
{
    OscBlockInput in;
    in.timeDiv = 1e-3; // R = 1 kHz
    in.streamMode = true;
    in.bufferBoundaryPeriod = 100e-6; // L = 10 kHz
    EXPECT_EQ(BuildOscBlock(in).averaging, 1); // averaging forbidden by default
    in.disableAveraging = false;
    const OscBlock out = BuildOscBlock(in);
    EXPECT_EQ(out.averaging, 9); // 1 kHz × 10 is not below 10 kHz
    EXPECT_EQ(out.wValue, 900);
    EXPECT_DOUBLE_EQ(out.pointPeriod, 9 / out.rate);
    EXPECT_TRUE(out.block.bytes[0] & AnalogBlock::kStream);
    in.bufferBoundaryPeriod.reset(); // "Все": L = 0
    EXPECT_EQ(BuildOscBlock(in).averaging, 1);
}

TEST(SpectrumAndRecorderBlocks, LeaveTriggerFieldsClear)
{
    SpectrumBlockInput s;
    s.chBOn = true;
    s.rangeB = 1.0;
    s.sampleRate = 50'000;
    const SpectrumBlock spectrum = BuildSpectrumBlock(s);
    EXPECT_EQ(spectrum.block.bytes[2], 0);
    EXPECT_EQ(spectrum.block.bytes[3], 0);
    EXPECT_EQ(spectrum.wValue, 10'000);
    EXPECT_EQ(spectrum.block.bytes[5], 9);

    RecorderBlockInput r;
    r.timeDiv = 0.1; // 10 samples/s, limit 1000 at R ≤ 1 does not apply
    r.workingLimit = 1'000;
    RecorderBlock rec = BuildRecorderBlock(r);
    EXPECT_EQ(rec.block.bytes[0] & 0x80, 0x80);
    EXPECT_EQ(rec.averaging, 99);
    EXPECT_FALSE(rec.tooFast);
    r.disableAveraging = true; // below 100 samples/s: up to 100
    EXPECT_EQ(BuildRecorderBlock(r).averaging, 9);
    r.timeDiv = 1e-6;
    r.displayLimit = 10'000;
    rec = BuildRecorderBlock(r);
    EXPECT_TRUE(rec.tooFast);
    EXPECT_EQ(rec.averaging, 1);
}

struct PatternCase {
    const char* text;
    std::uint8_t plainValue, plainCare, reversedValue, reversedCare;
};

TEST(LogicBlock, PatternFormsAreBitMirrors)
{
    const PatternCase cases[] = {
        {"10xxxxx1", 0x81, 0xC1, 0x81, 0x83},
        {"1", 0x01, 0x01, 0x80, 0x80},
        {"10", 0x02, 0x03, 0x40, 0xC0},
        {"xxxxxxxx", 0, 0, 0, 0},
        {"11110000", 0xF0, 0xFF, 0x0F, 0xFF},
    };
    for (const PatternCase& c : cases) {
        SCOPED_TRACE(c.text);
        const PatternForms f = ParsePattern(c.text);
        EXPECT_EQ(f.plain.value, c.plainValue);
        EXPECT_EQ(f.plain.care, c.plainCare);
        EXPECT_EQ(f.reversed.value, c.reversedValue);
        EXPECT_EQ(f.reversed.care, c.reversedCare);
    }
}

TEST(LogicBlock, ModesTriggersAndClock)
{
    EXPECT_EQ(LogicCaptureMode(36, true), 0);
    EXPECT_EQ(LogicCaptureMode(32, false), 4);
    EXPECT_EQ(LogicCaptureMode(31, true), 5);
    EXPECT_EQ(LogicCaptureMode(20, false), 6);

    LogicBlockInput in;
    in.sampleRate = 1e6;
    LogicBlockResult out = BuildLogicBlock(in);
    ASSERT_TRUE(out.wValue);
    EXPECT_EQ(*out.wValue, 0xFFE8);
    EXPECT_FALSE(out.wIndex);
    EXPECT_EQ(out.block.bytes[1], 0x40 | 0x10);

    // edge trigger on B.2 in mode 5, rising
    in.triggerOn = true;
    in.edgeLine = 10;
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[2], 0x80 | 0x20);
    EXPECT_EQ(out.block.bytes[4], 2 * 16 + 0x80);
    EXPECT_EQ(out.block.bytes[5], 0x04);
    // edge trigger on A.1, inverse bus A: bit 6
    in.edgeLine = 1;
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[2], 0x80 | 0x20 | 0x10);
    EXPECT_EQ(out.block.bytes[5], 0x40);
    // eight-line mode: byte 4 = item of B.1 in the bus B list + 8 when rising
    in.rateEntry = 36;
    in.edgeLine = 9;
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[0], 0);
    EXPECT_EQ(out.block.bytes[4], 1 + 8);

    // pattern on bus B in mode 6: plain form, no bus A flag
    in.rateEntry = 20;
    in.bufferMode = false;
    in.patternTrigger = true;
    in.patternText = "1x0";
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[2], 0x80 | 0x40);
    EXPECT_EQ(out.block.bytes[5], 0x04);
    EXPECT_EQ(out.block.bytes[6], 0x05);
    in.patternOnBusA = true;
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[2], 0x80 | 0x40 | 0x10);
    EXPECT_EQ(out.block.bytes[5], 0x20);
    EXPECT_EQ(out.block.bytes[6], 0xA0);

    // external clock: B.3, rising; no reload value
    in.externalClock = true;
    in.externalClockLine = 3;
    in.externalEdgeRising = true;
    in.patternTrigger = false;
    in.edgeLine = 9;
    out = BuildLogicBlock(in);
    EXPECT_FALSE(out.wValue);
    EXPECT_EQ(out.block.bytes[4], 16 + 0x80 + 3 + 8);
}

// At 2 … 8 MHz the edge list is B.0 … B.7; byte 4 is the item of that list, +8 when rising.
TEST(LogicBlock, FastRateEdgeTriggerNamesTheItemOfTheBusBList)
{
    struct Case {
        int line; // of all 16: 8 … 15 are B.0 … B.7
        bool rising;
        std::uint8_t byte2, byte4;
    };
    const Case cases[] = {
        {10, true, 0x80 | 0x20, 0x0A}, // B.2 rising
        {8, false, 0x80, 0x00},        // B.0 falling
        {15, true, 0x80 | 0x20, 0x0F}, // B.7 rising
        {13, false, 0x80, 0x05},       // B.5 falling
    };
    for (const Case& c : cases) {
        LogicBlockInput in;
        in.rateEntry = 36; // 8 MHz: capture mode 0
        in.triggerOn = true;
        in.edgeLine = c.line;
        in.edgeRising = c.rising;
        const LogicBlockResult out = BuildLogicBlock(in);
        EXPECT_EQ(out.block.bytes[0], 0) << c.line;
        EXPECT_EQ(out.block.bytes[2], c.byte2) << c.line;
        EXPECT_EQ(out.block.bytes[4], c.byte4) << c.line;
        EXPECT_EQ(out.block.bytes[5], 0) << c.line; // no one-hot mask in these modes
    }
}

TEST(LogicBlock, PulseSkipping)
{
    EXPECT_EQ(PulseSkipIndex(300), 0x022C);
    EXPECT_EQ(PulseSkipIndex(256), 0x0100);
    EXPECT_EQ(PulseSkipIndex(1), 0x0101);

    LogicBlockInput in;
    in.triggerOn = true;
    in.skipCount = 300;
    LogicBlockResult out = BuildLogicBlock(in);
    EXPECT_FALSE(out.wIndex) << "no direction chosen: no skipping";
    in.skipRising = true;
    in.skipLine = 2; // A.2 inverted: bit 5
    out = BuildLogicBlock(in);
    ASSERT_TRUE(out.wIndex);
    EXPECT_EQ(*out.wIndex, 0x022C);
    EXPECT_EQ(out.block.bytes[3], 0x80 | 0x40 | 0x20);
    EXPECT_EQ(out.block.bytes[8], 0x20);
    in.skipLine = 12;
    in.skipRising = false;
    in.skipFalling = true;
    out = BuildLogicBlock(in);
    EXPECT_EQ(out.block.bytes[3], 0x80);
    EXPECT_EQ(out.block.bytes[8], 0x10);
    in.triggerOn = false;
    EXPECT_FALSE(BuildLogicBlock(in).wIndex);
}

TEST(GeneratorUpload, CoversTheImageInTheInstrumentsOrder)
{
    GeneratorImage image{};
    for (int i = 0; i < kGeneratorImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    const CommandSequence seq = GeneratorUploadSequence(image);
    ASSERT_EQ(seq.size(), 3u + 16u + 4u + 3u);
    EXPECT_EQ(seq[0].wIndex, 0x70);
    EXPECT_EQ(seq[2].data.size(), 8u);
    EXPECT_EQ(*seq[3].wValue, 1);
    EXPECT_EQ(seq[3].data[0], image[136]);
    EXPECT_EQ(*seq[19].wIndex, 0x640);
    EXPECT_EQ(seq[19].data[0], image[1160]);
    EXPECT_EQ(*seq[23].wIndex, 0x780);
    EXPECT_EQ(seq[23].data[0], image[1480]);
    EXPECT_EQ(seq[24].data[0], image[1416]);
    EXPECT_EQ(seq[25].data.size(), 16u);
    for (const DeviceCommand& c : seq) {
        EXPECT_EQ(c.code, CmdWriteMemory);
        EXPECT_EQ(c.pauseAfterMs, 25);
    }

    LogicBlockInput in;
    in.generator = &image;
    EXPECT_EQ(BuildLogicBlock(in).generatorUpload, seq);
    in.busBGenerator = false;
    EXPECT_TRUE(BuildLogicBlock(in).generatorUpload.empty());
}

TEST(ServiceSequences, CalibrationAndI2C)
{
    CalibrationRecord record;
    record.bytes[100] = 0x5A;
    const CommandSequence cal = CalibrationWriteSequence(record);
    ASSERT_EQ(cal.size(), 9u);
    EXPECT_EQ(*cal[1].wIndex, 64);
    EXPECT_EQ(cal[1].data[36], 0x5A);
    EXPECT_EQ(cal.back().code, CmdStoreCalibration);
    EXPECT_EQ(cal.back().pauseAfterMs, 100);

    GeneratorImage buffer{};
    I2CTransferInput in;
    in.byteCount = 64;
    in.address7 = 0x50;
    in.kbitPerSecond = 100;
    CommandSequence seq = I2CTransferSequence(in, buffer);
    ASSERT_EQ(seq.size(), 3u); // two chunks for 1 … 64 bytes, then the transfer
    const DeviceCommand& transfer = seq.back();
    EXPECT_EQ(transfer.code, CmdI2CTransfer);
    EXPECT_EQ(*transfer.wValue, 64);
    EXPECT_EQ(*transfer.wIndex, 0xA0 * 256 + (256 - 80));
    EXPECT_EQ(transfer.data, std::vector<std::uint8_t>{0xC0});
    in.byteCount = 1024;
    EXPECT_EQ(I2CTransferSequence(in, buffer).size(), 17u);
    in.write = false;
    EXPECT_EQ(I2CTransferSequence(in, buffer).size(), 1u);
    EXPECT_EQ(I2CAddressByte(in), 0xA1);
    in.master = false;
    in.write = true;
    EXPECT_EQ(I2CAddressByte(in), 0xA1);
    in.address7 = 0;
    EXPECT_EQ(I2CAddressByte(in), 0x00);
}

TEST(StatusText, KnownUnknownAndMisspelt)
{
    EXPECT_EQ(StatusToText(0), "Success");
    EXPECT_EQ(StatusToText(0x20000015), "TimeOut expired");
    EXPECT_EQ(StatusToText(0x20000007), "Intenal system error");
    EXPECT_EQ(StatusToText(0xC0000002), "HC status: Bit stuffing ");
    EXPECT_EQ(StatusToText(0xC0000D00), "USBD: Attemped operation on frame length control not owned by caller");
    EXPECT_EQ(StatusToText(0xFFFFFFFF), "Invalid WinDriver handle");
    EXPECT_EQ(StatusToText(0xC000000E), "Unrecognized error code");
    EXPECT_EQ(StatusToText(0x20000009), "Unrecognized error code");
}

TEST(Calibration, RecordLayoutAndConversion)
{
    CalibrationRecord record;
    CalibrationSet set;
    set.aAttenuated = {1, 2};
    set.aNormal = {3, 4};
    set.bAttenuated = {5, 6};
    set.bNormal = {7, 8};
    record.setPairs(set);
    record.setInstrumentNumber(0x1234);
    EXPECT_EQ(record.pairs(), set);
    EXPECT_EQ(record.bytes[257], 0x34);
    EXPECT_EQ(record.bytes[258], 0x12);
    double first = 0;
    std::memcpy(&first, record.bytes.data() + 16, 8);
    EXPECT_EQ(first, 3.0);

    const CalibrationPair pair = CalibrationSet{}.aNormal;
    EXPECT_DOUBLE_EQ(RawToVolts(0, pair), 2.5062196601162);
    EXPECT_NEAR(RawToVolts(512, pair), 2.5062196601162 - 512 * 64 * 7.46321147175893e-05, 1e-12);
    EXPECT_NEAR(VoltsToCode(RawToVolts(300, pair), pair), 300 * 64, 1e-6);
}

} // namespace
} // namespace tesmar
