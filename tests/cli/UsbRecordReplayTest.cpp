// tesmar-cli with --record-usb and --replay-usb, run as a process: a session recorded on the
// virtual instrument and replayed without it gives the same output; a program that sends
// otherwise, a record that cannot be written and files that cannot be read end with their status.

#include "cli/ExitStatus.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

class UsbRecordReplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("tesmar_replay_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    Outcome run(const std::string& words) const
    {
        const std::string command = std::string(TESMAR_CLI_PROGRAM) + " " + words + " >" + path("out.txt") + " 2>" +
                                    path("err.txt") + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(path("out.txt")), ReadText(path("err.txt"))};
    }

    fs::path folder_;
};

TEST_F(UsbRecordReplay, ARecordedSessionReplaysToTheSameOutput)
{
    const struct {
        std::string args;
        std::string file; // the command's output file, in the test's folder; empty: standard output
    } sessions[] = {
        {"osc --channels ab --trigger a --range-b 5", ""},
        {"osc --mode stream --depth 300 --pre 50 --trigger b --channels ab --period 100us", ""},
        {"logic --rate 1M --trigger-mask 1x0 --out ", "capture.csv"},
        {"logic --rate 100k --mode stream --depth 4K --trigger-mask 1x --out ", "capture.vcd"},
        {"info", ""},
    };
    for (const auto& session : sessions) {
        const std::string args = session.args + (session.file.empty() ? "" : path(session.file));
        const Outcome live = run("--sim-fast --record-usb " + path("session.txt") + " " + args);
        ASSERT_EQ(live.status, kExitComplete) << args << '\n' << live.err;
        const std::string liveFile = session.file.empty() ? "" : ReadText(path(session.file));
        const std::string record = ReadText(path("session.txt"));
        EXPECT_NE(record.find(" OUT type=0x40 request="), std::string::npos) << args;
        EXPECT_NE(record.find(" IN pipe=0x83 length="), std::string::npos) << args;

        if (!session.file.empty())
            fs::remove(path(session.file));
        const Outcome replayed = run("--replay-usb " + path("session.txt") + " " + args);
        EXPECT_EQ(replayed.status, kExitComplete) << args << '\n' << replayed.err;
        EXPECT_EQ(replayed.out, live.out) << args;
        if (!session.file.empty()) {
            EXPECT_GT(liveFile.size(), 1000u) << args;
            EXPECT_EQ(ReadText(path(session.file)), liveFile) << args;
        }
    }
}

TEST_F(UsbRecordReplay, AProgramThatSendsOtherwiseIsStoppedAtTheFirstDifference)
{
    ASSERT_EQ(run("--sim-fast --record-usb " + path("session.txt") + " osc --channels ab --trigger a").status,
              kExitComplete);
    // Trigger on B: byte 3 of the block is channel A's attenuated code (11), the record has B's (10).
    // The replayed instrument goes at once: the program waits for no time-out.
    const Outcome other = run("--replay-usb " + path("session.txt") + " osc --channels ab --trigger b");
    EXPECT_EQ(other.err.find("time-out"), std::string::npos) << other.err;
    EXPECT_EQ(other.status, kExitReplayDiffers);
    EXPECT_NE(other.err.find("the program left the USB record " + path("session.txt") + " at line "), std::string::npos)
        << other.err;
    EXPECT_NE(other.err.find("request=5"), std::string::npos) << other.err;
    EXPECT_NE(other.err.find("data byte 3 is 0x0B where the record has 0x0A"), std::string::npos) << other.err;

    // A program that stops early leaves the rest of the record: a difference too.
    std::string record = ReadText(path("session.txt"));
    std::ofstream(path("longer.txt"), std::ios::binary) << record << "9999 RESET\n";
    const Outcome shorter = run("--replay-usb " + path("longer.txt") + " osc --channels ab --trigger a");
    EXPECT_EQ(shorter.status, kExitReplayDiffers);
    EXPECT_NE(shorter.err.find("the program ended where the record goes on with RESET"), std::string::npos)
        << shorter.err;
}

TEST_F(UsbRecordReplay, ARecordThatCannotBeWrittenIsSaidAndTheMeasurementGoesOn)
{
    const Outcome plain = run("--sim-fast osc --channels a");
    ASSERT_EQ(plain.status, kExitComplete);
    const Outcome full = run("--sim-fast --record-usb /dev/full osc --channels a");
    EXPECT_EQ(full.status, kExitOutput);
    EXPECT_NE(full.err.find("/dev/full: cannot write the USB record (No space left on device)"), std::string::npos)
        << full.err;
    EXPECT_EQ(full.out, plain.out); // the record complete on standard output all the same

    const Outcome nowhere = run("--sim-fast --record-usb " + path("no/such/folder.txt") + " osc");
    EXPECT_EQ(nowhere.status, kExitOutput);
    EXPECT_NE(nowhere.err.find("cannot write the USB record"), std::string::npos) << nowhere.err;
    EXPECT_EQ(nowhere.out, ""); // refused before measuring
}

TEST_F(UsbRecordReplay, ReplayFilesThatCannotBeUsedAreRefused)
{
    std::ofstream(path("bad.txt")) << "# by hand\n0 ATTACH\n5 OUT request=0 value=0\n";
    const struct {
        std::string words;
        int status;
        std::string message;
    } cases[] = {
        {"--replay-usb " + path("missing.txt") + " info", kExitFailure, "cannot read the USB record"},
        {"--replay-usb " + path("bad.txt") + " info", kExitFailure, "bad.txt, line 3: the field index= is missing"},
        {"--replay-usb " + path("bad.txt") + " --sim info", kExitUsage, "cannot go with --sim"},
        {"info --replay-usb", kExitUsage, "--replay-usb needs a file name"},
    };
    for (const auto& c : cases) {
        const Outcome done = run(c.words);
        EXPECT_EQ(done.status, c.status) << c.words;
        EXPECT_NE(done.err.find(c.message), std::string::npos) << c.words << '\n' << done.err;
    }
}

} // namespace
} // namespace tesmar
