#include "AnalogSignalFit.h"
#include "device/AnalogBlockBuilders.h"
#include "device/Commands.h"
#include "device/UsbSession.h"
#include "osc/OscBufferDecoder.h"
#include "osc/OscLiveRecord.h"
#include "osc/OscReaders.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace tesmar {
namespace {

using namespace std::chrono_literals;
using test::CrossingFrequency;
using test::FitSine;

// Smallest step of the default calibration, volts per raw unit.
const double kNormalStep = 64 * CalibrationSet{}.aNormal.voltsPerUnit;
const double kAttenuatedStep = 64 * CalibrationSet{}.aAttenuated.voltsPerUnit;

struct Record {
    bool ok = false;
    OscFrame frame{};
    OscResult result;
    OscAcquisitionParams params;
    double pointRate = 0; // points per second and channel
    double elapsedSeconds = 0; // instrument time from the block to the whole frame

    std::vector<double> a() const { return {result.ValuesA.begin(), result.ValuesA.begin() + result.CountA}; }
    std::vector<double> b() const { return {result.ValuesB.begin(), result.ValuesB.begin() + result.CountB}; }
    int writePosition() const { return frame[1410] | (frame[1411] << 8); }
};

struct AnalogEngineTest : ::testing::Test {
    SimClock clock{200.0};
    VirtualInstrument instrument{clock};
    AnalogEngine& engine = InstallAnalogEngine(instrument);
    UsbSession session{instrument};

    void SetUp() override
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(session.DeviceOpen());
    }

    static OscBlockInput Input(double timeDiv, bool chA, bool chB)
    {
        OscBlockInput in;
        in.timeDiv = timeDiv;
        in.chAOn = chA;
        in.chBOn = chB;
        in.rangeA = in.rangeB = 2.0;
        return in;
    }

    static OscAcquisitionParams Params(const OscBlockInput& in)
    {
        return OscAcquisitionParams::FromBlock(BuildOscBlock(in), in, false);
    }

    // The host's buffer read (block, 20 ms, first part, parts 1 and 2) and its decoder.
    Record capture(const OscBlockInput& in, const OscBufferDecodeOptions& options = {})
    {
        Record record;
        const OscBlock built = BuildOscBlock(in);
        record.params = OscAcquisitionParams::FromBlock(built, in, false);
        record.pointRate = 1.0 / built.pointPeriod;
        const std::int64_t start = clock.nowUs();
        std::atomic<bool> stop = false;
        auto reader = std::async(std::launch::async,
                                 [&] { return ReadOscBufferFrame(session, record.params, record.frame, stop); });
        if (reader.wait_for(10s) != std::future_status::ready) {
            ADD_FAILURE() << "no frame: the instrument did not trigger";
            stop = true;
            session.HaltTransfers();
        }
        record.ok = reader.get();
        record.elapsedSeconds = (clock.nowUs() - start) * 1e-6;
        if (record.ok)
            DecodeOscBuffer(record.frame, record.params, options, record.result);
        return record;
    }
};

// The trigger channel around its trigger point: starting side before, beyond the level after.
void ExpectCrossingAt(const std::vector<double>& v, int index, double level, bool rising)
{
    ASSERT_GE(index, 3);
    ASSERT_LT(index + 4, static_cast<int>(v.size()));
    const double margin = CalibrationSet{}.aNormal.voltsPerUnit; // the level's own rounding
    for (int i = index - 3; i < index; ++i)
        EXPECT_TRUE(rising ? v[i] < level + margin : v[i] > level - margin) << "point " << i << " = " << v[i];
    for (int i = index; i <= index + 4; ++i)
        EXPECT_TRUE(rising ? v[i] > level - margin : v[i] < level + margin) << "point " << i << " = " << v[i];
}

void ExpectSquare(const std::vector<double>& v, double amplitude, double tolerance)
{
    for (std::size_t i = 0; i < v.size(); ++i)
        ASSERT_NEAR(std::fabs(v[i]), amplitude, tolerance) << "point " << i;
}

TEST_F(AnalogEngineTest, OneChannelWithoutTriggerRecordsTheSine)
{
    const Record r = capture(Input(1e-5, true, false));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.result.CountA, 1126);
    EXPECT_EQ(r.result.CountB, 0);
    EXPECT_EQ(r.result.TrigIndexA, 0);
    const test::SineFit fit = FitSine(r.a(), r.pointRate, 1000.0);
    EXPECT_NEAR(fit.amplitude, 2.0, 0.01);
    EXPECT_NEAR(fit.offset, 0.0, kNormalStep);
    EXPECT_LT(fit.worstResidual, kNormalStep);
    EXPECT_NEAR(CrossingFrequency(r.a(), r.pointRate), 1000.0, 5.0);
}

TEST_F(AnalogEngineTest, FrameComesOnlyAfterTheRecordHasBeenTaken)
{
    // 10 kHz: 1127 samples take 0.1127 s of instrument time before anything can be read. The level
    // trigger's filter wants five samples beyond the level, so the sine gets 20 samples a period.
    AnalogScene scene;
    scene.channelA = SignalSource::Sine(2.0, 500.0);
    engine.setScene(scene);
    for (const bool trigger : {false, true}) {
        OscBlockInput in = Input(1e-4, true, false);
        in.triggerOn = trigger;
        const Record r = capture(in);
        ASSERT_TRUE(r.ok);
        EXPECT_GE(r.elapsedSeconds, 1127 / 10'000.0) << (trigger ? "triggered" : "free");
    }
}

TEST_F(AnalogEngineTest, LevelTriggerPutsTheCrossingAtTheTriggerIndex)
{
    AnalogScene scene;
    scene.channelA = SignalSource::Sine(2.0, 1000.0).withNoise(0.002, 7);
    engine.setScene(scene);
    struct Case {
        bool chA, chB;
        TriggerSource source;
        TriggerEdge edge;
        double level;
        int preTrigger;
    } cases[] = {
        {true, false, TriggerSource::ChannelA, TriggerEdge::Rising, 0.0, 100},
        {true, false, TriggerSource::ChannelA, TriggerEdge::Falling, 0.5, 8},
        {true, false, TriggerSource::ChannelA, TriggerEdge::Rising, 1.0, 200},
        {true, false, TriggerSource::ChannelA, TriggerEdge::Rising, -1.5, 52},
        {false, true, TriggerSource::ChannelB, TriggerEdge::Falling, 0.0, 100},
        {true, true, TriggerSource::ChannelA, TriggerEdge::Rising, 0.0, 100},
        {true, true, TriggerSource::ChannelA, TriggerEdge::Falling, 1.2, 40},
        {true, true, TriggerSource::ChannelB, TriggerEdge::Rising, 0.0, 60},
    };
    for (const Case& c : cases) {
        for (int run = 0; run < 3; ++run) { // each run stops the ring somewhere else
            SCOPED_TRACE("level " + std::to_string(c.level) + ", pre-trigger " + std::to_string(c.preTrigger) +
                         (c.chA && c.chB ? ", both" : "") + ", run " + std::to_string(run));
            OscBlockInput in = Input(c.chA && c.chB ? 1e-5 : 5e-6, c.chA, c.chB);
            in.triggerOn = true;
            in.triggerSource = c.source;
            in.triggerEdge = c.edge;
            in.levelA = in.levelB = c.level;
            in.preTriggerCount = c.preTrigger;
            const Record r = capture(in);
            ASSERT_TRUE(r.ok);
            const bool onA = c.source == TriggerSource::ChannelA;
            const bool rising = c.edge == TriggerEdge::Rising;
            if (c.chA && c.chB) {
                ASSERT_EQ(r.result.CountA, 563);
                ASSERT_EQ(r.result.CountB, 563);
                ASSERT_EQ(r.result.TrigIndexA, c.preTrigger / 2 - 1);
                // The other channel is the ±1 V square (B) or the sine (A): the halves are not swapped.
                if (onA)
                    ExpectSquare(r.b(), 1.0, 2 * kNormalStep);
                else
                    EXPECT_LT(FitSine(r.a(), r.pointRate, 1000.0).worstResidual, 0.02);
            } else {
                ASSERT_EQ(onA ? r.result.CountA : r.result.CountB, 1126);
            }
            const int index = onA ? r.result.TrigIndexA : r.result.TrigIndexB;
            EXPECT_EQ(index, (c.chA && c.chB) ? c.preTrigger / 2 - 1 : c.preTrigger - 1);
            ExpectCrossingAt(onA ? r.a() : r.b(), index, c.level, rising);
        }
    }
}

TEST_F(AnalogEngineTest, RangeChoosesTheInputAndItsScale)
{
    struct Case {
        double range, amplitude, expectedMax, expectedMin, tolerance;
    } cases[] = {
        {2.0, 2.0, 2.0, -2.0, 2 * kNormalStep},
        {5.0, 10.0, 10.0, -10.0, 2 * kAttenuatedStep},
        {20.0, 20.0, 20.0, -20.0, 2 * kAttenuatedStep},
        // Beyond the normal input's reach the converter saturates at both ends.
        {2.0, 10.0, RawToVolts(0, CalibrationSet{}.aNormal), RawToVolts(1023, CalibrationSet{}.aNormal), 1e-9},
    };
    for (const Case& c : cases) {
        AnalogScene scene;
        scene.channelA = SignalSource::Sine(c.amplitude, 1000.0);
        engine.setScene(scene);
        OscBlockInput in = Input(1e-5, true, false);
        in.rangeA = c.range;
        const Record r = capture(in);
        ASSERT_TRUE(r.ok);
        const auto a = r.a();
        EXPECT_NEAR(*std::max_element(a.begin(), a.end()), c.expectedMax, c.tolerance) << "range " << c.range;
        EXPECT_NEAR(*std::min_element(a.begin(), a.end()), c.expectedMin, c.tolerance) << "range " << c.range;
    }
}

TEST_F(AnalogEngineTest, InputsWiredTheOldWayNeedTheHostsOldCodes)
{
    AnalogScene scene;
    scene.oldInputs = true;
    engine.setScene(scene);
    OscBlockInput in = Input(1e-5, true, true);
    in.oldInputCodes = true;
    const Record r = capture(in);
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(FitSine(r.a(), r.pointRate, 1000.0).amplitude, 2.0, 0.01);
    ExpectSquare(r.b(), 1.0, 2 * kNormalStep);
}

TEST_F(AnalogEngineTest, ExternalTriggerStopsAtTheEdge)
{
    // A shows the external input itself, B its inverse: in time order A goes up where B goes down.
    AnalogScene scene;
    scene.externalTrigger = SignalSource::Square(1.0, 500.0, 1.0);
    scene.channelA = scene.externalTrigger;
    scene.channelB = SignalSource::Square(1.0, 500.0, 1.0).withPhase(180.0);
    engine.setScene(scene);
    const int P = 100;
    for (const bool rising : {true, false}) {
        OscBlockInput in = Input(5e-6, true, false);
        in.triggerOn = true;
        in.triggerSource = TriggerSource::External;
        in.triggerEdge = rising ? TriggerEdge::Rising : TriggerEdge::Falling;
        in.preTriggerCount = P;
        const Record r = capture(in);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.result.TrigIndexA, P - 1);
        const auto a = r.a();
        EXPECT_EQ(a[P - 1] > 1.0, rising);
        EXPECT_EQ(a[P - 2] > 1.0, !rising);
    }
    for (int run = 0; run < 8; ++run) {
        OscBlockInput in = Input(1e-5, true, true);
        in.triggerOn = true;
        in.triggerSource = TriggerSource::External;
        in.preTriggerCount = P;
        const Record r = capture(in);
        ASSERT_TRUE(r.ok);
        const auto a = r.a(), b = r.b();
        const int t = P / 2 - 1;
        SCOPED_TRACE("w = " + std::to_string(r.writePosition()));
        // The trigger sample is the last pair's A or B; the other one of that pair is earlier.
        EXPECT_LT(a[t - 1], 1.0);
        EXPECT_GT(b[t - 1], 1.0);
        EXPECT_GT(a[t + 1], 1.0);
        EXPECT_LT(b[t + 1], 1.0);
        EXPECT_EQ(a[t] > 1.0, b[t] > 1.0) << "pair " << t << ": " << a[t] << ", " << b[t];
    }
}

TEST_F(AnalogEngineTest, DifferenceTriggerFindsTheJump)
{
    AnalogScene scene;
    scene.channelA = SignalSource::Square(1.0, 500.0);
    scene.channelB = SignalSource::Square(1.0, 700.0);
    engine.setScene(scene);
    struct Case {
        bool both;
        TriggerSource source;
        TriggerEdge edge;
        int preTrigger;
    } cases[] = {
        {false, TriggerSource::ChannelA, TriggerEdge::Rising, 100},
        {false, TriggerSource::ChannelA, TriggerEdge::Falling, 48},
        {true, TriggerSource::ChannelB, TriggerEdge::Rising, 100},
        {true, TriggerSource::ChannelA, TriggerEdge::Falling, 200},
    };
    for (const Case& c : cases) {
        OscBlockInput in = Input(1e-5, true, c.both);
        in.triggerOn = true;
        in.triggerKind = TriggerKind::Difference;
        in.triggerSource = c.source;
        in.triggerEdge = c.edge;
        in.typedThreshold = 0.5;
        in.preTriggerCount = c.preTrigger;
        const Record r = capture(in);
        ASSERT_TRUE(r.ok);
        const bool onA = c.source == TriggerSource::ChannelA;
        const auto v = onA ? r.a() : r.b();
        const int t = onA ? r.result.TrigIndexA : r.result.TrigIndexB;
        EXPECT_EQ(t, c.both ? c.preTrigger / 2 - 1 : c.preTrigger - 1);
        const double sign = c.edge == TriggerEdge::Rising ? 1.0 : -1.0;
        EXPECT_NEAR(v[t], sign, 2 * kNormalStep) << "preTrigger " << c.preTrigger;
        EXPECT_NEAR(v[t - 1], -sign, 2 * kNormalStep) << "preTrigger " << c.preTrigger;
        EXPECT_NEAR(v[t - 3], -sign, 2 * kNormalStep);
        // Each channel's array holds its own square.
        EXPECT_NEAR(CrossingFrequency(r.a(), r.pointRate), 500.0, 10.0);
        if (c.both) {
            EXPECT_NEAR(CrossingFrequency(r.b(), r.pointRate), 700.0, 14.0);
        }
    }
}

TEST_F(AnalogEngineTest, StreamArrivesAtTheBlocksRateAndCarriesTheSine)
{
    OscBlockInput in = Input(1e-4, true, false); // 10 kHz
    in.streamMode = true;
    const OscAcquisitionParams params = Params(in);
    const double rate = 10'000.0;
    SetupPacket start;
    start.bRequest = CmdStartAnalog;
    start.wValue = params.wValue;
    const std::int64_t t0 = clock.nowUs();
    session.WriteCommandPacket(start, params.block.bytes.data(), 12);

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[512];
    const int reads = 16; // 8192 bytes, 6553 samples: 0.655 s
    for (int i = 0; i < reads; ++i) {
        UsbStatus status = usb_status::Error;
        const std::uint32_t n = session.readPipe(buffer, sizeof buffer, 30'000, status);
        ASSERT_EQ(status, usb_status::Success);
        ASSERT_EQ(n, 512u);
        bytes.insert(bytes.end(), buffer, buffer + n);
        // Never ahead of the converter: every byte delivered belongs to a sample already taken.
        const double taken = (clock.nowUs() - t0) * 1e-6 * rate + 1;
        ASSERT_LE(static_cast<double>(bytes.size()), taken / 4 * 5 + 5) << "read " << i;
    }
    const double expected = bytes.size() / 5.0 * 4 / rate;
    EXPECT_LT((clock.nowUs() - t0) * 1e-6, 2 * expected + 0.5);

    std::vector<double> volts;
    for (std::size_t g = 0; g + 5 <= bytes.size(); g += 5)
        for (int k = 0; k < 4; ++k)
            volts.push_back(RawToVolts(GroupSample(&bytes[g], k), params.pairA));
    const test::SineFit fit = FitSine(volts, rate, 1000.0);
    EXPECT_NEAR(fit.amplitude, 2.0, 0.01);
    EXPECT_LT(fit.worstResidual, kNormalStep);

    session.DeviceReset(); // the stream ends with the reset
    UsbStatus status = usb_status::Success;
    session.readPipe(buffer, sizeof buffer, 2'000, status);
    EXPECT_EQ(status, usb_status::TimeOut);
}

TEST_F(AnalogEngineTest, StreamRecordOfBothChannelsThroughTheHostsReader)
{
    OscBlockInput in = Input(1e-4, true, true); // 20 kHz for both
    in.streamMode = true;
    in.capacity = 2048;
    OscAcquisitionParams params = Params(in);
    OscResult result;
    std::atomic<bool> stop = false;
    ASSERT_TRUE(ReadOscStream(session, params, result, stop));
    ASSERT_EQ(result.CountA, 2048);
    std::vector<double> a(result.ValuesA.begin(), result.ValuesA.begin() + result.CountA);
    std::vector<double> b(result.ValuesB.begin(), result.ValuesB.begin() + result.CountB);
    EXPECT_LT(FitSine(a, 10'000.0, 1000.0).worstResidual, kNormalStep);
    ExpectSquare(b, 1.0, 2 * kNormalStep);
    EXPECT_NEAR(CrossingFrequency(b, 10'000.0), 500.0, 5.0);
}

TEST_F(AnalogEngineTest, StreamLevelTriggerFiresOnTheCleanSignalsOfBothChannels)
{
    struct Case {
        bool chA, chB;
        TriggerSource source;
        TriggerEdge edge;
        double level;
    } cases[] = {
        {false, true, TriggerSource::ChannelB, TriggerEdge::Rising, 0.0},  // the clean square
        {false, true, TriggerSource::ChannelB, TriggerEdge::Falling, 0.5},
        {true, true, TriggerSource::ChannelB, TriggerEdge::Rising, -0.5},
        {true, false, TriggerSource::ChannelA, TriggerEdge::Rising, 0.0},  // the sine
        {true, true, TriggerSource::ChannelA, TriggerEdge::Falling, 1.0},
    };
    for (const double period : {2e-5, 5e-5, 1e-4}) {
        for (const Case& c : cases) {
            if (c.source == TriggerSource::ChannelA && period > 5e-5)
                continue; // the sine must stay beyond the level for five points
            for (int run = 0; run < 3; ++run) {
                SCOPED_TRACE("period " + std::to_string(period) + ", level " + std::to_string(c.level) +
                             (c.chA && c.chB ? ", both" : "") + ", run " + std::to_string(run));
                OscBlockInput in = Input(period, c.chA, c.chB);
                in.streamMode = true;
                in.capacity = 2048;
                in.preTriggerCount = 100;
                in.triggerOn = true;
                in.triggerSource = c.source;
                in.triggerEdge = c.edge;
                in.levelA = in.levelB = c.level;
                const OscAcquisitionParams params = Params(in);
                OscResult result;
                std::atomic<bool> stop = false;
                auto reader = std::async(std::launch::async, [&] { return ReadOscStream(session, params, result, stop); });
                if (reader.wait_for(10s) != std::future_status::ready) {
                    ADD_FAILURE() << "the stream trigger never fired";
                    stop = true;
                    session.HaltTransfers();
                }
                ASSERT_TRUE(reader.get());
                const bool onA = c.source == TriggerSource::ChannelA;
                const int index = onA ? result.TrigIndexA : result.TrigIndexB;
                ASSERT_EQ(index, 99);
                const std::vector<double> v(onA ? result.ValuesA.begin() : result.ValuesB.begin(),
                                            (onA ? result.ValuesA.begin() : result.ValuesB.begin()) + 2048);
                ExpectCrossingAt(v, index + 1, c.level, c.edge == TriggerEdge::Rising);
            }
        }
    }
}

TEST_F(AnalogEngineTest, SlowStreamRecordIsHandedOverWhileItFills)
{
    OscBlockInput in = Input(1e-2, true, true); // 10 ms per point: 82 s of instrument time
    in.streamMode = true;
    in.capacity = 8192;
    const OscAcquisitionParams params = Params(in);
    OscResult result;
    OscLiveRecord live;
    std::atomic<bool> stop = false;
    auto reader = std::async(std::launch::async, [&] { return ReadOscStream(session, params, result, stop, &live); });
    std::vector<OscResult> taken;
    OscResult snapshot;
    while (reader.wait_for(20ms) != std::future_status::ready)
        if (live.take(snapshot))
            taken.push_back(snapshot);
    ASSERT_TRUE(reader.get());
    if (live.take(snapshot))
        taken.push_back(snapshot);
    ASSERT_GE(taken.size(), 2u); // at least one while it filled, and the last
    int previous = 0;
    for (const OscResult& t : taken) { // each one the beginning of the record, in time order
        ASSERT_GE(t.CountA, previous);
        ASSERT_EQ(t.CountB, t.CountA);
        previous = t.CountA;
        for (int i = 0; i < t.CountA; ++i) {
            ASSERT_EQ(t.ValuesA[i], result.ValuesA[i]) << i;
            ASSERT_EQ(t.ValuesB[i], result.ValuesB[i]) << i;
        }
    }
    EXPECT_LT(taken.front().CountA, 8192);
    EXPECT_EQ(taken.back().CountA, result.CountA);
}

TEST_F(AnalogEngineTest, NewBlockWhileWaitingRestartsTheRecord)
{
    OscBlockInput never = Input(1e-5, true, false);
    never.triggerOn = true;
    never.levelA = 2.45; // above the 2 V sine
    OscBlockInput zero = never;
    zero.levelA = 0.0;
    const OscAcquisitionParams waiting = Params(never), restarted = Params(zero);

    OscFrame frame{};
    std::atomic<bool> stop = false;
    auto reader = std::async(std::launch::async, [&] { return ReadOscBufferFrame(session, waiting, frame, stop); });
    ASSERT_EQ(reader.wait_for(30ms), std::future_status::timeout);
    SetupPacket start;
    start.bRequest = CmdStartAnalog;
    start.wValue = restarted.wValue;
    start.wIndex = restarted.wIndex;
    session.DeviceReset();
    session.WriteCommandPacket(start, restarted.block.bytes.data(), 12);
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    ASSERT_TRUE(reader.get());
    OscResult result;
    DecodeOscBuffer(frame, restarted, {}, result);
    ExpectCrossingAt({result.ValuesA.begin(), result.ValuesA.begin() + 1126}, result.TrigIndexA, 0.0, true);
}

TEST_F(AnalogEngineTest, AStartBlockLostOnTheWayEndsTheRecordAtOnce)
{
    std::atomic<bool> stop = false; // never asked
    OscFrame frame{};
    instrument.armFaults({{SimFaultKind::TransferError, SimFaultTrigger::Transfers, 0}});
    EXPECT_FALSE(ReadOscBufferFrame(session, Params(Input(1e-5, true, false)), frame, stop));
}

TEST_F(AnalogEngineTest, ResetEndsTheWaitOfAnInstrumentThatNeverTriggers)
{
    AnalogScene scene;
    scene.neverTrigger = true;
    engine.setScene(scene);
    OscBlockInput in = Input(1e-5, true, false);
    in.triggerOn = true;
    const OscAcquisitionParams params = Params(in);
    OscFrame frame{};
    std::atomic<bool> stop = false;
    auto reader = std::async(std::launch::async, [&] { return ReadOscBufferFrame(session, params, frame, stop); });
    // Several of the reader's 10-second slices pass without an answer.
    ASSERT_EQ(reader.wait_for(300ms), std::future_status::timeout);

    session.HaltTransfers(); // the host's stop
    stop = true;
    session.DeviceReset();
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(reader.get());

    std::uint8_t buffer[512];
    UsbStatus status = usb_status::Success;
    session.readPipe(buffer, sizeof buffer, 2'000, status);
    EXPECT_EQ(status, usb_status::TimeOut);
}

TEST_F(AnalogEngineTest, PartRequestsBeforeTheFrameIsReadyAreIgnored)
{
    AnalogScene scene;
    scene.neverTrigger = true;
    engine.setScene(scene);
    OscBlockInput in = Input(1e-5, true, false);
    in.triggerOn = true;
    const OscAcquisitionParams params = Params(in);
    SetupPacket start;
    start.bRequest = CmdStartAnalog;
    start.wValue = params.wValue;
    start.wIndex = params.wIndex;
    session.WriteCommandPacket(start, params.block.bytes.data(), 12);
    SetupPacket part;
    part.bRequest = CmdReadPart;
    part.wValue = 1;
    session.WriteCommandPacket(part, nullptr, 0);
    std::uint8_t buffer[512];
    UsbStatus status = usb_status::Success;
    session.readPipe(buffer, sizeof buffer, 2'000, status);
    EXPECT_EQ(status, usb_status::TimeOut);
}

} // namespace
} // namespace tesmar
