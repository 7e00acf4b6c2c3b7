// Logic captures through the instrument's exchange and the host's unpacking: the layouts the
// virtual instrument produces must come back in time order for every rate code.

#include "device/UsbSession.h"
#include "logic/LogicReaders.h"
#include "logic/LogicUnpack.h"
#include "sim/LogicEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <thread>

namespace tesmar {
namespace {

// Bus A counts down by one per sample at `rate` (bit k a square of rate / 2^(k+1), high in its
// first half); bus B counts up at the same rate.
LogicScene CounterScene(double rate)
{
    LogicScene s;
    for (int k = 0; k < 8; ++k)
        s.busA.push_back(SquareWave(k, rate / (2 << k)));
    s.counterHz = rate;
    return s;
}

struct LogicFixture : ::testing::Test {
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    LogicEngine* engine = nullptr;
    UsbSession session{instrument};
    std::atomic<bool> stop{false};

    void SetUp() override
    {
        engine = &InstallLogicEngine(instrument);
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(session.DeviceOpen());
    }

};

// Consecutive samples of the counter differ by `step` (mod 256).
::testing::AssertionResult Counts(const std::vector<std::uint8_t>& v, int step)
{
    for (std::size_t i = 1; i < v.size(); ++i)
        if (static_cast<std::uint8_t>(v[i] - v[i - 1]) != static_cast<std::uint8_t>(step))
            return ::testing::AssertionFailure() << "break at " << i << ": " << int(v[i - 1]) << " → " << int(v[i]);
    return ::testing::AssertionSuccess();
}

TEST_F(LogicFixture, BufferedCapturesOfEveryRateCodeComeBackInOrder)
{
    struct Case {
        int entry;
        double rate;
        bool triggerOn;
        std::size_t count;
        int pre;
    } cases[] = {
        {36, 8e6, false, 128, 0}, {34, 4e6, true, 128, 0},  {32, 2e6, false, 1160, 0},
        {32, 2e6, true, 1160, 8}, {33, 24e6 / 9, true, 1160, 8}, {31, 1e6, true, 1544, 31},
        {31, 1e6, false, 1544, 0},
    };
    for (const Case& c : cases) {
        engine->setScene(CounterScene(c.rate));
        LogicBlockInput in;
        in.rateEntry = c.entry;
        in.sampleRate = c.rate;
        in.bufferMode = true;
        in.busBGenerator = false;
        in.triggerOn = c.triggerOn;
        in.patternTrigger = true;
        in.patternText = "xxxx0000"; // the counter's low nibble 0: once every 16 samples
        in.patternOnBusA = true;
        in.preTrigger = static_cast<std::uint8_t>(c.entry == 31 && c.triggerOn ? 32 : 0);
        const LogicBlockResult block = BuildLogicBlock(in);
        LogicBufferFrame frame;
        ASSERT_TRUE(ReadLogicBuffer(session, block, frame, stop)) << c.entry;
        LogicBufferLayout layout;
        layout.rateCode = block.captureMode;
        layout.triggerOn = c.triggerOn;
        layout.preTriggerByte = block.block.bytes[7];
        const UnpackedLogic u = UnpackLogicBuffer(frame, layout);
        ASSERT_EQ(u.busA.size(), c.count) << c.entry;
        EXPECT_EQ(u.preTrigger, c.pre) << c.entry;
        EXPECT_TRUE(Counts(u.busA, -1)) << c.entry;
        if (c.triggerOn) { // the sample at time 0 is the one that matched the mask
            EXPECT_EQ(u.busA[u.preTrigger] & 0x0F, 0) << c.entry;
        }
    }
}

TEST_F(LogicFixture, SixteenLinesAlternate)
{
    engine->setScene(CounterScene(500e3));
    LogicBlockInput in;
    in.rateEntry = 26;
    in.sampleRate = 500e3;
    in.bufferMode = true;
    in.busBGenerator = false;
    in.busBAnalyser = true;
    const LogicBlockResult block = BuildLogicBlock(in);
    LogicBufferFrame frame;
    ASSERT_TRUE(ReadLogicBuffer(session, block, frame, stop));
    LogicBufferLayout layout;
    layout.sixteenLines = true;
    const UnpackedLogic u = UnpackLogicBuffer(frame, layout);
    ASSERT_EQ(u.busA.size(), 772u);
    ASSERT_EQ(u.busB.size(), 772u);
    EXPECT_TRUE(Counts(u.busA, -1));
    EXPECT_TRUE(Counts(u.busB, 1));
}

TEST_F(LogicFixture, StreamWithSoftwareTrigger)
{
    engine->setScene(CounterScene(200e3));
    LogicBlockInput in;
    in.rateEntry = 22;
    in.sampleRate = 200e3;
    in.bufferMode = false;
    in.busBGenerator = false;
    in.triggerOn = true;
    in.patternTrigger = true;
    in.patternText = "10101010";
    in.patternOnBusA = true;
    const LogicBlockResult block = BuildLogicBlock(in);
    const LogicStreamResult r = ReadLogicStream(session, block, 4096, 400, stop);
    ASSERT_EQ(r.status, LogicStreamStatus::Good);
    ASSERT_TRUE(r.triggered);
    std::vector<std::uint8_t> capture = r.capture;
    RotateLogicRing(capture, 400, r.ringPosition);
    ReverseBits(capture);
    EXPECT_TRUE(Counts(capture, -1));
    EXPECT_EQ(capture[399], 0b10101010);
}

TEST_F(LogicFixture, GeneratorLoopBackAndExternalClock)
{
    LogicScene scene = LogicScene::Default();
    scene.loopBack = true;
    engine->setScene(scene);
    GeneratorImage image{};
    for (int i = 0; i < kGeneratorImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(i * 3);
    LogicBlockInput in;
    in.rateEntry = 31;
    in.sampleRate = 1e6;
    in.bufferMode = true;
    in.busBGenerator = true;
    in.generator = &image;
    LogicBufferFrame frame;
    ASSERT_TRUE(ReadLogicBuffer(session, BuildLogicBlock(in), frame, stop));
    UnpackedLogic u = UnpackLogicBuffer(frame, {});
    ASSERT_EQ(u.busA.size(), 1544u);
    EXPECT_TRUE(Counts(u.busA, 3)); // bus A sees the pattern played on bus B

    // Sampling on B.0's rising edges of the default 100 kHz counter: every sample one more 2-count.
    engine->setScene(CounterScene(100e3));
    in.busBGenerator = false;
    in.externalClock = true;
    in.externalClockLine = 0;
    in.externalEdgeRising = true;
    ASSERT_TRUE(ReadLogicBuffer(session, BuildLogicBlock(in), frame, stop));
    u = UnpackLogicBuffer(frame, {});
    EXPECT_TRUE(Counts(u.busA, -2));
}

TEST_F(LogicFixture, PulseSkippingDelaysTheTrigger)
{
    engine->setScene(CounterScene(1e6));
    LogicBlockInput in;
    in.rateEntry = 31;
    in.sampleRate = 1e6;
    in.bufferMode = true;
    in.busBGenerator = false;
    in.triggerOn = true;
    in.patternTrigger = true;
    in.patternText = "xxxxxxxx"; // fires at once
    in.patternOnBusA = true;
    in.skipRising = true;
    in.skipCount = 3;
    in.skipLine = 7; // A.7: one pulse every 256 samples
    LogicBufferFrame frame;
    ASSERT_TRUE(ReadLogicBuffer(session, BuildLogicBlock(in), frame, stop));
    LogicBufferLayout layout;
    layout.triggerOn = true;
    layout.pulseSkip = true;
    const UnpackedLogic u = UnpackLogicBuffer(frame, layout);
    EXPECT_EQ(u.preTrigger, 0);
    EXPECT_TRUE(Counts(u.busA, -1));
}

// At the fast rates byte 4 names the edge as an item of the B.0 … B.7 list, +8 for rising. The
// blocks are written out by hand; bus A is the counter's complement, so the sample at time 0 shows
// which edge of bus B fired.
TEST_F(LogicFixture, FastRatesTriggerOnTheBusBEdgeNamedByByteFour)
{
    const struct Case {
        const char* what;
        std::uint8_t mode, triggerFlags, edgeCode;
        double rate;
        std::uint8_t careA, wantA;
    } cases[] = {
        {"B.2 rising", 0, 0xA0, 0x0A, 8e6, 0x07, 0x03},  // count 3 → 4
        {"B.2 falling", 0, 0x80, 0x02, 8e6, 0x07, 0x07}, // count 7 → 8
        {"B.0 falling", 2, 0x80, 0x00, 4e6, 0x01, 0x01}, // odd → even
        {"B.0 rising", 2, 0xA0, 0x08, 4e6, 0x01, 0x00},
        {"B.7 rising", 4, 0xA0, 0x0F, 2e6, 0xFF, 0x7F},  // count 127 → 128
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine->setScene(CounterScene(c.rate));
        LogicBlockResult block;
        block.captureMode = c.mode;
        block.block.bytes = {c.mode, 0, c.triggerFlags, 0, c.edgeCode, 0, 0, 0, 0};
        LogicBufferFrame frame;
        ASSERT_TRUE(ReadLogicBuffer(session, block, frame, stop));
        LogicBufferLayout layout;
        layout.rateCode = c.mode;
        layout.triggerOn = true;
        const UnpackedLogic u = UnpackLogicBuffer(frame, layout);
        ASSERT_GT(u.busA.size(), static_cast<std::size_t>(u.preTrigger));
        EXPECT_TRUE(Counts(u.busA, -1));
        EXPECT_EQ(u.busA[u.preTrigger] & c.careA, c.wantA);
    }
}

TEST_F(LogicFixture, AFastEdgeCodeBeyondTheBusBListNeverTriggers)
{
    engine->setScene(CounterScene(8e6));
    LogicBlockResult block;
    block.captureMode = 0;
    block.block.bytes = {0, 0, 0xA0, 0, 0x12, 0, 0, 0, 0}; // B.2 rising counted among all 16 lines
    std::thread stopper([&] {
        clock.sleepMs(300);
        stop = true;
        session.HaltTransfers();
    });
    LogicBufferFrame frame;
    EXPECT_FALSE(ReadLogicBuffer(session, block, frame, stop));
    stopper.join();
}

TEST_F(LogicFixture, AStartBlockLostOnTheWayEndsTheCaptureAtOnce)
{
    LogicBlockInput in;
    in.rateEntry = 31;
    in.sampleRate = 1e6;
    in.bufferMode = true;
    in.busBGenerator = false;
    instrument.armFaults({{SimFaultKind::TransferError, SimFaultTrigger::Transfers, 0}});
    LogicBufferFrame frame;
    EXPECT_FALSE(ReadLogicBuffer(session, BuildLogicBlock(in), frame, stop)); // no stop is ever asked
}

// A pattern that did not reach the generator whole would be played as if it had.
TEST_F(LogicFixture, AGeneratorPatternLostOnTheWayStartsNoCapture)
{
    GeneratorImage image{};
    LogicBlockInput in;
    in.rateEntry = 31;
    in.sampleRate = 1e6;
    in.bufferMode = true;
    in.busBGenerator = true;
    in.generator = &image;
    const LogicBlockResult block = BuildLogicBlock(in);
    ASSERT_GT(block.generatorUpload.size(), 3u);
    for (const int lost : {0, 2, static_cast<int>(block.generatorUpload.size()) - 1}) {
        SCOPED_TRACE(lost);
        instrument.armFaults({{SimFaultKind::TransferError, SimFaultTrigger::Transfers, static_cast<double>(lost)}});
        LogicBufferFrame frame;
        EXPECT_FALSE(ReadLogicBuffer(session, block, frame, stop));
    }
    instrument.armFaults({});
    LogicBufferFrame frame;
    EXPECT_TRUE(ReadLogicBuffer(session, block, frame, stop));
}

TEST_F(LogicFixture, AStopEndsAWaitForATriggerThatNeverComes)
{
    LogicScene quiet;
    quiet.counterHz = 0;
    engine->setScene(quiet);
    LogicBlockInput in;
    in.rateEntry = 31;
    in.sampleRate = 1e6;
    in.bufferMode = true;
    in.busBGenerator = false;
    in.triggerOn = true;
    in.patternTrigger = true;
    in.patternText = "11111111";
    in.patternOnBusA = true;
    std::thread stopper([&] {
        clock.sleepMs(300);
        stop = true;
        session.HaltTransfers();
    });
    LogicBufferFrame frame;
    EXPECT_FALSE(ReadLogicBuffer(session, BuildLogicBlock(in), frame, stop));
    stopper.join();
}

} // namespace
} // namespace tesmar
