#include "device/Commands.h"
#include "device/ServiceCommands.h"
#include "device/UsbSession.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace tesmar {
namespace {

using namespace std::chrono_literals;

// A fast clock: instrument waits shrink a hundredfold.
struct SessionFixture : ::testing::Test {
    SimClock clock{100.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};
    std::vector<UsbStatus> reported;

    void SetUp() override
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        session.setExchangeErrorReporter([this](UsbStatus s) { reported.push_back(s); });
    }

    template <typename Pred> bool eventually(Pred pred)
    {
        for (int i = 0; i < 200; ++i) {
            if (pred())
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return pred();
    }
};

TEST_F(SessionFixture, OpensReadsIdentityAndVersion)
{
    ASSERT_TRUE(session.DeviceOpen());
    EXPECT_EQ(QueryDevice(session, CmdGetId, 50, 1), std::vector<std::uint8_t>{0xAA});
    const auto version = QueryDevice(session, CmdGetVersion, 10, 5);
    ASSERT_EQ(version.size(), 5u);
    EXPECT_EQ(version[0], 2);
    EXPECT_EQ(version[1], 5);
    SendCommand(session, {.code = CmdLedOn});
    EXPECT_TRUE(instrument.state().ledOn);
    SendCommand(session, {.code = CmdSwitchFirmware});
    EXPECT_EQ(QueryDevice(session, CmdGetId, 50, 1), std::vector<std::uint8_t>{0x55});
}

TEST_F(SessionFixture, NoInstrumentMeansNoTransfers)
{
    instrument.unplug();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.DeviceOpen(200ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    std::uint8_t buffer[4] = {7, 7, 7, 7};
    session.settings().showExchangeError = true;
    EXPECT_EQ(session.WriteCommand(nullptr, 0), 0u);
    EXPECT_EQ(session.ReadDataPipe(buffer, 4), 0u);
    EXPECT_EQ(buffer[0], 7);
    EXPECT_TRUE(reported.empty());
    session.DeviceReset(); // passes the empty handle on and must not fail
}

TEST_F(SessionFixture, SecondInstrumentIsRefusedAndReplugIsTakenUp)
{
    ASSERT_TRUE(session.DeviceOpen());
    EXPECT_FALSE(instrument.plugSecondInstrument());

    session.settings().showExchangeError = true;
    instrument.unplug();
    ASSERT_TRUE(eventually([&] { return !session.isAttached(); }));
    std::uint8_t byte = 0;
    EXPECT_EQ(session.ReadDataPipe(&byte, 1), 0u);
    EXPECT_TRUE(reported.empty()) << "a detached device is silent";

    instrument.plug();
    ASSERT_TRUE(eventually([&] { return session.isAttached(); }));
    EXPECT_EQ(QueryDevice(session, CmdGetId, 50, 1), std::vector<std::uint8_t>{0xAA});
}

TEST_F(SessionFixture, ReadTimeOutIsReportedOnlyWhenAsked)
{
    ASSERT_TRUE(session.DeviceOpen());
    std::uint8_t byte = 0;
    EXPECT_EQ(session.ReadDataPipe(&byte, 1), 0u); // nothing to read: time-out
    EXPECT_EQ(session.lastReadStatus(), usb_status::TimeOut);
    EXPECT_TRUE(reported.empty());

    session.settings().showExchangeError = true;
    EXPECT_EQ(session.ReadDataPipe(&byte, 1), 0u);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], 0x20000015u);

    instrument.failNextWrites(1);
    SendCommand(session, {.code = CmdLedOn});
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1], usb_status::PidStall);
    EXPECT_FALSE(instrument.state().ledOn);
}

TEST_F(SessionFixture, HaltEndsAPendingReadFromAnotherThread)
{
    ASSERT_TRUE(session.DeviceOpen());
    std::atomic<bool> done{false};
    UsbStatus status = 0;
    std::thread reader([&] {
        std::uint8_t buffer[512];
        session.readPipe(buffer, sizeof buffer, 10'000 * 100, status);
        done = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(done);
    session.HaltTransfers();
    reader.join();
    EXPECT_EQ(status, usb_status::Cancelled);
}

TEST_F(SessionFixture, CalibrationIsStoredAndKeptInItsFile)
{
    const auto file = std::filesystem::temp_directory_path() / "tesmar-sim-calibration-test.bin";
    std::filesystem::remove(file);
    CalibrationRecord record;
    record.bytes.fill(0);
    CalibrationSet pairs;
    pairs.bNormal = {2.4, 7e-5};
    record.setPairs(pairs);
    record.setInstrumentType(0);
    record.setInstrumentNumber(4242);
    {
        VirtualInstrument withFile(clock, file.string());
        UsbSession s(withFile);
        s.setSleeper([this](int ms) { clock.sleepMs(ms); });
        ASSERT_TRUE(s.DeviceOpen());
        SendCommands(s, CalibrationWriteSequence(record));
    }
    VirtualInstrument again(clock, file.string());
    UsbSession s(again);
    ASSERT_TRUE(s.DeviceOpen());
    const auto bytes = QueryDevice(s, CmdReadCalibration, 100, 512);
    ASSERT_EQ(bytes.size(), 512u);
    CalibrationRecord read;
    std::copy(bytes.begin(), bytes.end(), read.bytes.begin());
    EXPECT_EQ(read.pairs(), pairs);
    EXPECT_EQ(read.instrumentType(), 0);
    EXPECT_EQ(read.instrumentNumber(), 4242);
    std::filesystem::remove(file);
}

TEST_F(SessionFixture, GeneratorImageIsReassembledFromTheUpload)
{
    ASSERT_TRUE(session.DeviceOpen());
    GeneratorImage image{};
    for (int i = 0; i < kGeneratorImageSize; ++i)
        image[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 3));
    SendCommands(session, GeneratorUploadSequence(image));
    EXPECT_EQ(instrument.state().generatorImage(), image);
}

TEST_F(SessionFixture, BootLoaderProgramsTheImageAndReportsItsVersion)
{
    ASSERT_TRUE(session.DeviceOpen());
    SendCommand(session, {.code = CmdSwitchFirmware});
    SendCommand(session, {.code = CmdBootBegin});
    std::vector<std::uint8_t> image(600, 0x11);
    image[598] = 3;
    image[599] = 7;
    image.resize(1024, 0);
    for (int block = 1; block >= 0; --block) {
        for (int chunk = 0; chunk < 8; ++chunk) {
            const auto from = image.begin() + block * 512 + chunk * 64;
            SendCommand(session, {CmdBootWriteChunk, static_cast<std::uint16_t>(chunk * 64), {},
                                  std::vector<std::uint8_t>(from, from + 64)});
        }
        SendCommand(session, {.code = CmdBootProgramBlock, .wValue = static_cast<std::uint16_t>(block * 512)});
        std::uint8_t result = 0xEE;
        session.ReadDataPipe(&result, 1);
        EXPECT_EQ(result, 0);
    }
    SendCommand(session, {.code = CmdSwitchFirmware});
    const auto version = QueryDevice(session, CmdGetVersion, 10, 5);
    ASSERT_EQ(version.size(), 5u);
    EXPECT_EQ(version[0], 3);
    EXPECT_EQ(version[1], 7);
}

TEST_F(SessionFixture, ResetEndsAPendingReadAndIsCounted)
{
    ASSERT_TRUE(session.DeviceOpen());
    UsbStatus status = 0;
    std::thread reader([&] {
        std::uint8_t buffer[16];
        session.readPipe(buffer, sizeof buffer, 10'000 * 100, status);
    });
    std::this_thread::sleep_for(20ms);
    session.DeviceReset();
    reader.join();
    EXPECT_NE(status, usb_status::Success);
    EXPECT_EQ(instrument.resetCount(), 1);
}

} // namespace
} // namespace tesmar
