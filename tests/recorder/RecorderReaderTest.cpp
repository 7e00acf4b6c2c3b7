// The reader's exchange on a thread of its own against the virtual instrument, while this thread
// reads the growing record as the chart does: no locks, only the published count.

#include "device/UsbSession.h"
#include "recorder/RecorderEnvelope.h"
#include "recorder/RecorderReader.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tesmar {
namespace {

TEST(RecorderReader, ReadsWhileTheRecordIsDrawnAndStopsOnAHalt)
{
    SimClock clock(100.0);
    VirtualInstrument instrument(clock);
    InstallAnalogEngine(instrument);
    UsbSession session(instrument);
    session.setSleeper([&clock](int ms) { clock.sleepMs(ms); });
    ASSERT_TRUE(session.DeviceOpen());

    RecorderBlockInput in;
    in.timeDiv = 1e-3;
    in.chAOn = in.chBOn = true;
    const RecorderBlock block = BuildRecorderBlock(in);
    RecorderSettings s;
    s.pointPeriod = 1e-3;
    s.averaging = block.averaging;
    s.chAOn = s.chBOn = true;
    s.pairA = block.pairA;
    s.pairB = block.pairB;
    s.dynamicMemory = true;
    RecorderStream stream(s, {});
    std::atomic<bool> stop{false};
    std::thread reader([&] { ReadRecorderStream(session, block, stream, stop); });

    std::vector<ChartPoint> points;
    std::size_t drawn = 0;
    while (stream.record().count() < 20'000) {
        const std::size_t n = stream.record().count();
        if (n > 0) {
            const double last = stream.record().timeOf(0, n - 1);
            BuildEnvelope(stream.record(), 0, 0, last, 300, points);
            drawn += points.size();
            ASSERT_TRUE(RecordValueAt(stream.record(), 1, last / 2) || n < 2);
        }
        std::this_thread::yield();
    }
    stop = true;
    session.HaltTransfers();
    reader.join();
    EXPECT_GT(drawn, 0u);
    EXPECT_EQ(stream.status(), RecOk); // a read ended by the stop's halt is no failure
    EXPECT_GE(stream.record().count(), 20'000u);
}

} // namespace
} // namespace tesmar
