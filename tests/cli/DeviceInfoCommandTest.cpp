#include "cli/DeviceInfoCommand.h"
#include "device/Commands.h"
#include "device/TracingTransport.h"
#include "device/UsbSession.h"
#include "text/MessageTable.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tesmar {
namespace {

struct InfoFixture : ::testing::Test {
    SimClock clock{200.0};
    VirtualInstrument instrument{clock};
    std::ostringstream trace, out, err;
    TracingTransport tracing{instrument, trace};
    UsbSession session{tracing};
    MessageTable messages;

    int run()
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        return RunDeviceInfoCommand(session, messages, out, err);
    }
};

TEST_F(InfoFixture, PrintsIdentityVersionPairsTypeAndNumber)
{
    CalibrationSet pairs;
    pairs.bAttenuated = {22.5, 0.0007};
    instrument.state().calibration.setPairs(pairs);
    instrument.state().calibration.setInstrumentType(0);
    instrument.state().calibration.setInstrumentNumber(517);
    EXPECT_EQ(run(), 0);
    const std::string text = out.str();
    EXPECT_NE(text.find("Identity: 0xAA"), std::string::npos);
    EXPECT_NE(text.find("Version: 2.5 (10/12/26)"), std::string::npos);
    EXPECT_NE(text.find("B, attenuated range:   zero 22.5 V, 0.0007 V/unit"), std::string::npos);
    EXPECT_NE(text.find("Instrument type: 0 (logic analyser only)"), std::string::npos);
    EXPECT_NE(text.find("Instrument number: 517"), std::string::npos);

    // every transfer of the exchange is traced, the blocks in hex
    const std::string lines = trace.str();
    EXPECT_NE(lines.find("OUT bRequest=0 wValue="), std::string::npos);
    EXPECT_NE(lines.find("IN  pipe=0x83 length=1 status=0x00000000 count=1 data=AA"), std::string::npos);
    EXPECT_NE(lines.find("OUT bRequest=11"), std::string::npos);
    EXPECT_NE(lines.find("RESET status=0x00000000"), std::string::npos);
    EXPECT_NE(lines.find("data=02 05 0A 0C 1A"), std::string::npos);
}

TEST_F(InfoFixture, BlankRecordShowsTheBuiltInPairs)
{
    instrument.state().calibration.bytes.fill(0xFF);
    EXPECT_EQ(run(), 0);
    EXPECT_NE(out.str().find("built-in: the record is blank"), std::string::npos);
    EXPECT_NE(out.str().find("A, normal range:       zero 2.5062196601162 V"), std::string::npos);
}

TEST_F(InfoFixture, NoInstrumentAndBootLoaderEndWithTheirMessages)
{
    instrument.state().bootLoader = true;
    EXPECT_EQ(run(), 3);
    EXPECT_NE(err.str().find("Устройство находится в режиме обновления.\n"), std::string::npos);

    VirtualInstrument unplugged(clock);
    unplugged.unplug();
    UsbSession none(unplugged);
    std::ostringstream o, e;
    EXPECT_EQ(RunDeviceInfoCommand(none, messages, o, e), 2);
    EXPECT_EQ(e.str().rfind("Не удалось проинициализировать устройство.", 0), 0u);
    EXPECT_TRUE(o.str().empty());
}

TEST(TracingTransport, WritesTheSetupFieldsAndData)
{
    SimClock clock(200.0);
    VirtualInstrument instrument(clock);
    std::ostringstream trace;
    TracingTransport tracing(instrument, trace);
    UsbSession session(tracing);
    ASSERT_TRUE(session.DeviceOpen());
    SendCommand(session, {CmdWriteMemory, 1, 0x40, {0x12, 0xAB}});
    EXPECT_NE(trace.str().find("OUT bRequest=8 wValue=0x0001 wIndex=0x0040 length=2 data=12 AB status=0x00000000 count=2"),
              std::string::npos);
}

} // namespace
} // namespace tesmar
