#include "service/CalibrationTransfer.h"

#include "SimSession.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace tesmar {
namespace {

TEST(CalibrationTransfer, WrittenRecordReadsBackWithEveryByteAndSurvivesARestart)
{
    const auto file = (std::filesystem::temp_directory_path() / ("tesmar-calibration-" + std::to_string(::getpid()) + ".cal")).string();
    std::filesystem::remove(file);
    CalibrationRecord written;
    {
        SimClock clock{1000.0};
        VirtualInstrument instrument(clock, file);
        UsbSession session(instrument);
        session.setSleeper([&](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(session.DeviceOpen());
        auto record = ReadCalibrationRecord(session);
        ASSERT_TRUE(record.has_value());
        for (std::size_t i = 64; i < kCalibrationRecordSize; ++i)
            record->bytes[i] = static_cast<std::uint8_t>(i * 7);
        CalibrationSet pairs;
        pairs.bAttenuated = {21.0, 0.0007};
        record->setPairs(pairs);
        record->setInstrumentType(3);
        record->setInstrumentNumber(4321);
        WriteCalibrationRecord(session, *record);
        written = *record;
    }
    SimClock clock{1000.0};
    VirtualInstrument instrument(clock, file);
    UsbSession session(instrument);
    session.setSleeper([&](int ms) { clock.sleepMs(ms); });
    ASSERT_TRUE(session.DeviceOpen());
    const auto back = ReadCalibrationRecord(session);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bytes, written.bytes);
    EXPECT_EQ(back->instrumentNumber(), 4321);
    std::filesystem::remove(file);
}

TEST(CalibrationTransfer, ShortReadGivesNoRecord)
{
    SimSession sim;
    ASSERT_TRUE(sim.open());
    sim.instrument.shortenNextRead(100);
    EXPECT_FALSE(ReadCalibrationRecord(sim.session).has_value());
}

// The write reports no failed transfer, so the record is read back: a chunk lost to any fault at
// any transfer of the nine is found; with no fault the record is kept.
TEST(CalibrationTransfer, AWriteIsTrueOnlyWhenTheInstrumentKeepsTheRecord)
{
    CalibrationRecord record;
    record.bytes.fill(0x5C);
    record.setInstrumentNumber(777);
    {
        SimSession sim;
        ASSERT_TRUE(sim.open());
        EXPECT_TRUE(WriteAndVerifyCalibrationRecord(sim.session, record));
    }
    for (const SimFaultKind kind : {SimFaultKind::Unplug, SimFaultKind::TransferError, SimFaultKind::Stall}) {
        for (int after = 0; after < 9; ++after) {
            SCOPED_TRACE(after);
            SimSession sim;
            ASSERT_TRUE(sim.open());
            sim.instrument.armFaults({{kind, SimFaultTrigger::Transfers, double(after)}});
            EXPECT_FALSE(WriteAndVerifyCalibrationRecord(sim.session, record));
        }
    }
}

} // namespace
} // namespace tesmar
