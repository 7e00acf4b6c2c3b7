#include "cli/CliDevice.h"
#include "cli/ServiceCommands.h"

#include <random>
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
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

TEST_F(ServiceCli, CalibrationWriteRefusesFoldersAndPairsNoInputCanHave)
{
    const struct {
        std::string path;
        std::string said;
    } cases[] = {
        {folder.string(), ": is a directory"},
        {file("huge.txt", "[main]\r\nu0_=1e308\r\nk_=-1e308\r\n"),
         "u0_ = 1e+308 V, k_ = -1e+308 V per unit is not one an input can have: u0_ must lie within -100 … 100 V "
         "and k_ within 1e-06 … 0.01 V per unit"},
        {file("zero-high.txt", "[main]\r\nu0_=100.5\r\nk_=7e-5\r\n"), "u0_ = 100.5 V"},
        {file("negative-k.txt", "[main]\r\nu0_=2.5\r\nk_=-7e-5\r\n"), "k_ = -7e-05 V per unit"},
        {file("tiny-k.txt", "[main]\r\nu0_=2.5\r\nk_=9e-7\r\n"), "k_ = 9e-07 V per unit"},
        {file("big-k.txt", "[main]\r\nu0_=2.5\r\nk_=0.011\r\n"), "k_ = 0.011 V per unit"},
    };
    for (const auto& c : cases) {
        std::ostringstream o, e;
        EXPECT_EQ(RunCalibrationCommand(sim, {"write", c.path, "--pair", "A1/2"}, o, e), 1) << c.path;
        EXPECT_NE(e.str().find(c.said), std::string::npos) << e.str();
        EXPECT_EQ(o.str(), "");
    }
    // The bounds themselves are pairs an input can have.
    for (const char* pair : {"u0_=-100\r\nk_=1e-6", "u0_=100\r\nk_=0.01"}) {
        std::ostringstream o, e;
        const auto path = file("edge.txt", std::string("[main]\r\n") + pair + "\r\n");
        EXPECT_EQ(RunCalibrationCommand(sim, {"write", path, "--pair", "B1/2"}, o, e), 0) << e.str();
    }
}

TEST_F(ServiceCli, WithoutAnInstrumentTheStatusIsTwo)
{
    // Over USB, where nothing is plugged in on a test machine.
    const CliDeviceOptions usb;
    if (RunCalibrationCommand(usb, {"read"}, out, err) != 2)
        GTEST_SKIP() << "an instrument is plugged in";
    EXPECT_EQ(RunCalibrationCommand(usb, {"default"}, out, err), 2);
    EXPECT_EQ(RunFirmwareCommand(usb, {file("fw.bin", std::string(300, 'x'))}, out, err), 2);
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
    image[298] = 2; // the virtual instrument runs 2.5
    image[299] = 7;
    EXPECT_EQ(RunFirmwareCommand(sim, {file("fw.bin", image)}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("version 2.7"), std::string::npos);
    EXPECT_NE(err.str().find("block 1 of 1"), std::string::npos);
}

TEST_F(ServiceCli, FirmwareThatDoesNotLookLikeOneIsRefusedUnlessForced)
{
    // Random bytes: their last two make a version no update of this instrument has.
    std::mt19937 random(153);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xFF);
    noise[4094] = char(153);
    noise[4095] = char(242);
    const auto path = file("noise.bin", noise);
    EXPECT_EQ(RunFirmwareCommand(sim, {path}, out, err), 1);
    EXPECT_NE(err.str().find("version 153.242 does not continue the installed 2.5; nothing was written"),
              std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("block"), std::string::npos) << err.str();
    err.str("");
    EXPECT_EQ(RunFirmwareCommand(sim, {file("same.bin", std::string(300, 'x'))}, out, err), 1);
    EXPECT_NE(err.str().find("one byte repeated"), std::string::npos) << err.str();
    EXPECT_EQ(RunFirmwareCommand(sim, {path, "--later"}, out, err), 64);
    EXPECT_NE(err.str().find("unknown option --later"), std::string::npos) << err.str();
    EXPECT_EQ(RunFirmwareCommand(sim, {"--force"}, out, err), 64); // no file
    // The user says so: it is written.
    EXPECT_EQ(RunFirmwareCommand(sim, {"--force", path}, out, err), 0) << err.str(); // in either order
    EXPECT_NE(out.str().find("version 153.242"), std::string::npos) << out.str();
}

// Standard error that plays the user pressing Ctrl-C once a given text has been written: the
// watch's flag goes up on the update's own thread, at a known point of the update.
class InterruptOnText : public std::stringbuf {
public:
    InterruptOnText(std::string trigger, std::atomic<bool>& flag) : trigger_(std::move(trigger)), flag_(flag) {}

protected:
    int sync() override
    {
        if (str().find(trigger_) != std::string::npos)
            flag_ = true;
        return 0;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        const std::streamsize written = std::stringbuf::xsputn(s, n);
        sync();
        return written;
    }

private:
    std::string trigger_;
    std::atomic<bool>& flag_;
};

TEST_F(ServiceCli, FirmwareCtrlCEndsBetweenBlocksAndSaysHowToRecover)
{
    std::string image(1100, 'x'); // three blocks
    image[1098] = 2;
    image[1099] = 6;
    const auto path = file("fw.bin", image);
    std::atomic<bool> interrupted{false};
    InterruptOnText buffer("block 1 of 3", interrupted);
    std::ostream errWithCtrlC(&buffer);
    EXPECT_EQ(RunFirmwareCommand(sim, {path}, out, errWithCtrlC, &interrupted), 130);
    const std::string text = buffer.str();
    EXPECT_EQ(text.find("block 2 of 3"), std::string::npos) << text; // no block begun after the flag
    EXPECT_NE(text.find("boot loader"), std::string::npos) << text;
    EXPECT_NE(text.find("tesmar-cli firmware " + path + "' again"), std::string::npos) << text;
    EXPECT_EQ(out.str().find("firmware updated"), std::string::npos);
}

TEST_F(ServiceCli, FirmwareCtrlCBeforeTheStartChangesNothing)
{
    const std::atomic<bool> interrupted{true};
    std::string image(300, 'x');
    image[298] = 2;
    image[299] = 6;
    EXPECT_EQ(RunFirmwareCommand(sim, {file("fw.bin", image)}, out, err, &interrupted), 130);
    EXPECT_NE(err.str().find("firmware is unchanged"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("block"), std::string::npos) << err.str();
}

} // namespace
} // namespace tesmar
