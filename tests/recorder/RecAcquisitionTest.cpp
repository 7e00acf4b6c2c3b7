// The recorder's reader thread against the virtual instrument on a fast clock: records that grow,
// and stops, unplugs, read faults and closes at awkward moments that keep the points so far.

#include "device/UsbSession.h"
#include "osc/acquisition/OscAcquisition.h"
#include "recorder/acquisition/RecAcquisition.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

namespace tesmar {
namespace {

using namespace std::chrono_literals;

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "recorder_reader_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct RecorderFixture : ::testing::Test {
    SimClock clock{100.0};
    VirtualInstrument instrument{clock};
    AnalogEngine& engine = InstallAnalogEngine(instrument);
    UsbSession session{instrument};
    AcquisitionHistory history;
    std::unique_ptr<RecAcquisition> acquisition;
    int completions = 0;

    void SetUp() override
    {
        App();
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(session.DeviceOpen());
        acquisition = std::make_unique<RecAcquisition>(session, history);
        QObject::connect(acquisition.get(), &RecAcquisition::completed, [this] { ++completions; });
    }

    RecorderBlock Block(bool a, bool b, double period = 1e-3)
    {
        RecorderBlockInput in;
        in.timeDiv = period;
        in.chAOn = a;
        in.chBOn = b;
        in.rangeA = in.rangeB = 20.0;
        return BuildRecorderBlock(in);
    }

    RecorderSettings Settings(const RecorderBlock& block, double period = 1e-3)
    {
        RecorderSettings s;
        s.pointPeriod = period;
        s.averaging = block.averaging;
        s.chAOn = block.chAOn;
        s.chBOn = block.chBOn;
        s.pairA = block.pairA;
        s.pairB = block.pairB;
        s.dynamicMemory = true;
        return s;
    }

    template <typename Pred> bool Eventually(Pred pred, std::chrono::milliseconds limit = 10s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            if (pred())
                return true;
            std::this_thread::sleep_for(1ms);
        }
        return pred();
    }

    std::size_t Count() const { return acquisition->stream()->record().count(); }
};

TEST_F(RecorderFixture, BothChannelsGrowAndAStopKeepsThePoints)
{
    const RecorderBlock block = Block(true, true);
    acquisition->start(block, Settings(block));
    ASSERT_TRUE(Eventually([&] { return Count() > 3000; }));
    acquisition->stop();
    ASSERT_TRUE(Eventually([&] { return completions == 1; }));
    EXPECT_FALSE(acquisition->running());
    const RecorderStream& s = *acquisition->stream();
    EXPECT_EQ(s.status(), RecOk);
    const std::size_t n = s.record().count();
    EXPECT_GE(n, 3000u);
    // A: the 2 V sine at 1 kHz sampled each 1 ms, B: the ±1 V square.
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_LT(std::fabs(s.record().channel(0).at(i)), 2.3);
        ASSERT_LT(std::fabs(s.record().channel(1).at(i)), 1.3);
    }
    EXPECT_NEAR(s.elapsedDays(), n * 1e-3 / 86400, 1e-15);
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, 1);
}

TEST_F(RecorderFixture, UnplugKeepsThePointsAndReportsTheReadOnce)
{
    const RecorderBlock block = Block(true, false);
    acquisition->start(block, Settings(block));
    ASSERT_TRUE(Eventually([&] { return Count() > 1000; }));
    instrument.unplug();
    ASSERT_TRUE(Eventually([&] { return completions == 1; }));
    EXPECT_EQ(acquisition->stream()->status(), RecReadFailed);
    EXPECT_GT(Count(), 1000u);
    // Plugged in again, the next recording runs. The old device's detach reaches the session on
    // the transport's own thread, possibly after the run has ended, and until then the old handle
    // still counts as attached: wait for the new instrument to be taken.
    const unsigned attaches = session.attachCount();
    instrument.plug();
    ASSERT_TRUE(Eventually([&] { return session.attachCount() > attaches; }));
    acquisition->start(block, Settings(block));
    ASSERT_TRUE(Eventually([&] { return Count() > 500; }));
    acquisition->stop();
    ASSERT_TRUE(Eventually([&] { return completions == 2; }));
    EXPECT_EQ(acquisition->stream()->status(), RecOk);
}

TEST_F(RecorderFixture, ReadTimeOutIsStatusOne)
{
    const RecorderBlock block = Block(true, false);
    acquisition->start(block, Settings(block));
    ASSERT_TRUE(Eventually([&] { return Count() > 400; }));
    instrument.failNextReads(1, usb_status::TimeOut);
    ASSERT_TRUE(Eventually([&] { return completions == 1; }));
    EXPECT_EQ(acquisition->stream()->status(), RecReadFailed);
    EXPECT_GT(Count(), 400u);
}

TEST_F(RecorderFixture, StopsAtOnceAndDuringTheStartPause)
{
    const RecorderBlock block = Block(true, false);
    for (const auto delay : {0ms, 1ms, 3ms}) {
        const int before = completions;
        acquisition->start(block, Settings(block));
        std::this_thread::sleep_for(delay);
        acquisition->stop();
        ASSERT_TRUE(Eventually([&] { return completions == before + 1; }));
        EXPECT_EQ(acquisition->stream()->status(), RecOk);
    }
}

TEST_F(RecorderFixture, ShutdownWhileRecordingWaitsAndKeepsThePoints)
{
    const RecorderBlock block = Block(false, true);
    acquisition->start(block, Settings(block));
    ASSERT_TRUE(Eventually([&] { return Count() > 800; }));
    acquisition->shutdown();
    EXPECT_FALSE(acquisition->running());
    EXPECT_GT(Count(), 800u);
    EXPECT_EQ(acquisition->stream()->status(), RecOk);
}

TEST_F(RecorderFixture, AutoStopEndsTheRecordingByItself)
{
    const RecorderBlock block = Block(true, false);
    RecorderSettings s = Settings(block);
    s.dynamicMemory = false;
    s.autoStopSeconds = 2.0;
    acquisition->start(block, s);
    ASSERT_TRUE(Eventually([&] { return completions == 1; }));
    EXPECT_TRUE(acquisition->stream()->autoStopped());
    EXPECT_EQ(Count(), 2001u);
}

} // namespace
} // namespace tesmar
