#include "cli/CliDevice.h"
#include "cli/ServiceCommands.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

struct ServiceCli : ::testing::Test {
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("tesmar-service-cli-" + std::to_string(::getpid()) + "-" +
                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::ostringstream out, err;
    CliDeviceOptions sim{.simulate = true};

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string file(const char* name, const std::string& content)
    {
        const auto path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
};

TEST_F(ServiceCli, CalibrationReadPrintsPairsTypeAndNumber)
{
    EXPECT_EQ(RunCalibrationCommand(sim, {"read"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("B1/20"), std::string::npos);
    EXPECT_NE(out.str().find("type 255, number 1"), std::string::npos);
}

TEST_F(ServiceCli, CalibrationWriteTakesTheNewPairOfAFile)
{
    const auto path = file("k.txt", "[main]\r\ncount=0\r\nu0_=21,5\r\nk_=0.0007\r\n");
    EXPECT_EQ(RunCalibrationCommand(sim, {"write", path, "--pair", "B1/20"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("calibration written"), std::string::npos);
    EXPECT_EQ(RunCalibrationCommand(sim, {"default"}, out, err), 0) << err.str();
}

TEST_F(ServiceCli, CalibrationArgumentsAreChecked)
{
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const auto noPair = file("none.txt", "[main]\r\nu0=1\r\n");
    const auto zeroK = file("zero.txt", "[main]\r\nu0_=1\r\nk_=0\r\n");
    for (const Case& c : {Case{{}, 64}, Case{{"erase"}, 64}, Case{{"read", "x"}, 64},
                          Case{{"write", noPair, "--pair", "C1/2"}, 64}, Case{{"write", noPair}, 64},
                          Case{{"write", noPair, "--pair", "A1/2"}, 1}, Case{{"write", zeroK, "--pair", "A1/2"}, 1},
                          Case{{"write", (folder / "missing.txt").string(), "--pair", "A1/2"}, 1}}) {
        std::ostringstream o, e;
        EXPECT_EQ(RunCalibrationCommand(sim, c.args, o, e), c.code) << (c.args.empty() ? "" : c.args[0]);
        EXPECT_FALSE(e.str().empty());
    }
}

TEST_F(ServiceCli, FirmwareRefusesBadFilesBeforeAnyTransfer)
{
    // Without --sim a transfer would need real hardware: the refusal must come first.
    const CliDeviceOptions usb;
    EXPECT_EQ(RunFirmwareCommand(usb, {file("big.bin", std::string(16385, 'x'))}, out, err), 1);
    EXPECT_NE(err.str().find("16384"), std::string::npos);
    EXPECT_EQ(RunFirmwareCommand(usb, {file("empty.bin", "")}, out, err), 1);
    EXPECT_EQ(RunFirmwareCommand(usb, {(folder / "missing.bin").string()}, out, err), 1);
    EXPECT_EQ(RunFirmwareCommand(usb, {}, out, err), 64);
}

TEST_F(ServiceCli, FirmwareFlashesTheVirtualInstrumentWithProgress)
{
    std::string image(300, 'x');
    image[298] = 7;
    image[299] = 3;
    EXPECT_EQ(RunFirmwareCommand(sim, {file("fw.bin", image)}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("version 7.3"), std::string::npos);
    EXPECT_NE(err.str().find("block 1 of 1"), std::string::npos);
}

} // namespace
} // namespace tesmar
