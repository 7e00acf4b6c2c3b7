// Every command of the built tesmar-cli through each exit status it can return: a bad command
// line, an unreadable input, an output that cannot be written before and after the work, no
// instrument, and Ctrl-C or SIGTERM in the middle of the work.

#include "cli/ExitStatus.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

struct Finished {
    bool exited = false; // by exit(), not killed by a signal
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ExitStatus : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("tesmar_exit_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        CaptureSamples capture;
        capture.samplePeriod = 1e-6;
        capture.busA.assign(2000, 1);
        ASSERT_EQ(SaveCaptureFile(path("capture.vcd"), capture), "");
        std::ofstream(path("gen.bin"), std::ios::binary) << std::string(1000, '\x55');
        // Outputs on a full disk.
        for (const char* name : {"full.csv", "full.dat", "full.vcd"})
            fs::create_symlink("/dev/full", folder_ / name);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // Runs the program; with `signal`, sends it once `ready` holds (polled while it runs).
    Finished run(const std::vector<std::string>& words, int signal = 0, const std::function<bool(pid_t)>& ready = {})
    {
        const fs::path out = folder_ / "stdout.txt", err = folder_ / "stderr.txt";
        const pid_t pid = ::fork();
        if (pid == 0) {
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(o, 1);
            ::dup2(e, 2);
            std::vector<char*> argv{const_cast<char*>(TESMAR_CLI_PROGRAM)};
            for (const auto& word : words)
                argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        if (signal != 0) {
            while (::waitpid(pid, &status, WNOHANG) == 0) {
                if (ready(pid)) {
                    ::kill(pid, signal);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status), WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(out),
                ReadText(err)};
    }

    // The work file of an output exists: the command watches the signals and took its output.
    std::function<bool(pid_t)> outputTaken(const std::string& name) const
    {
        return [this, name](pid_t) {
            for (const auto& entry : fs::directory_iterator(folder_))
                if (entry.path().filename().string().rfind(name + ".part", 0) == 0)
                    return true;
            return false;
        };
    }
    // Ctrl-C and SIGTERM are blocked: the program watches them.
    static bool Watching(pid_t pid)
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigBlk:", 0) == 0) {
                const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
                return (mask & (1ull << (SIGINT - 1))) && (mask & (1ull << (SIGTERM - 1)));
            }
        return false;
    }
    // Leftovers of an output named `name` in the test's folder.
    int leftovers(const std::string& name) const
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder_))
            count += entry.path().filename().string().rfind(name, 0) == 0;
        return count;
    }

    fs::path folder_;
};

struct Case {
    std::vector<std::string> words; // "@name" is a file of the test's folder
    int status;
    std::string message; // part of standard error; "@" as in the words
};

TEST_F(ExitStatus, EveryCommandGivesTheStatusOfItsOutcome)
{
    const Case cases[] = {
        // A bad command line.
        {{"--sim", "osc", "--bogus", "1"}, kExitUsage, "unknown option --bogus"},
        {{"--sim", "spectrum", "--bogus", "1"}, kExitUsage, "unknown option --bogus"},
        {{"--sim", "record", "--bogus", "1"}, kExitUsage, "unknown option --bogus"},
        {{"--sim", "logic", "--bogus"}, kExitUsage, "unknown option --bogus"},
        {{"decode", "uart", "@capture.vcd", "--bogus", "1"}, kExitUsage, "unknown option --bogus"},
        {{"encode", "uart", "--bogus", "1"}, kExitUsage, "unknown option --bogus"},
        {{"convert", "@capture.vcd"}, kExitUsage, "usage: tesmar-cli convert"},
        {{"info", "@a.dat", "@b.dat"}, kExitUsage, "usage: tesmar-cli info"},
        {{"--sim", "calibration", "frob"}, kExitUsage, "usage: tesmar-cli calibration"},
        {{"--sim", "firmware"}, kExitUsage, "usage: tesmar-cli firmware"},
        {{"frobnicate"}, kExitUsage, "unknown command 'frobnicate'"},
        {{}, kExitUsage, "exit status (every command)"},
        // An input that cannot be read.
        {{"decode", "uart", "@missing.vcd"}, kExitFailure, "cannot read @missing.vcd: no such file"},
        {{"decode", "uart", "@capture.vcd", "--baud", "600000"}, kExitFailure, "1200000"},
        {{"convert", "@missing.vcd", "@out.csv"}, kExitFailure, "cannot read @missing.vcd: no such file"},
        {{"info", "@missing.dat"}, kExitFailure, "cannot read @missing.dat: no such file"},
        {{"encode", "uart", "--text", "U", "--in", "@missing.dat", "--out", "@out.dat"}, kExitFailure,
         "--in: cannot read @missing.dat"},
        {{"--sim", "logic", "--setup", "@missing.txt", "--out", "@out.vcd"}, kExitFailure, "--setup: cannot read"},
        {{"--sim", "calibration", "write", "@missing.txt", "--pair", "A1/2"}, kExitFailure, "cannot read @missing.txt"},
        {{"--sim", "calibration", "write", "@", "--pair", "A1/2"}, kExitFailure, "is a directory"},
        {{"--sim", "firmware", "@missing.bin"}, kExitFailure, "cannot read @missing.bin"},
        {{"--sim", "spectrum", "--filter-a", "@missing.txt"}, kExitFilterFile, "cannot use the filter file"},
        // An output that cannot be written is known before the work: a record of an hour would
        // otherwise run its hour here.
        {{"--sim", "osc", "--csv", "@no/x.csv"}, kExitOutput, "cannot write @no/x.csv: no such folder"},
        {{"--sim", "osc", "--out", "@"}, kExitUsage, "does not end in .dat"},
        {{"--sim", "osc", "--csv", "@"}, kExitOutput, "is a directory"},
        {{"--sim", "spectrum", "--out", "@no/x.dat"}, kExitOutput, "cannot write @no/x.dat: no such folder"},
        {{"--sim", "record", "--duration", "1h", "--out", "@no/x.dat"}, kExitOutput, "no such folder"},
        {{"--sim", "logic", "--out", "@no/x.vcd"}, kExitOutput, "cannot write @no/x.vcd: no such folder"},
        {{"encode", "uart", "--text", "U", "--out", "@no/x.dat"}, kExitOutput, "no such folder"},
        {{"convert", "@capture.vcd", "@no/x.csv"}, kExitOutput, "cannot write @no/x.csv: no such folder"},
        // An output that fails when written (a full disk): what was measured is kept elsewhere.
        {{"--sim", "osc", "--csv", "@full.csv"}, kExitOutput, "no space left on device; the result is kept in "},
        {{"--sim", "osc", "--out", "@full.dat"}, kExitOutput, "no space left on device; the result is kept in "},
        {{"--sim", "spectrum", "--csv", "@full.csv"}, kExitOutput, "the result is kept in "},
        {{"--sim-fast", "record", "--duration", "10ms", "--out", "@full.dat"}, kExitOutput, "the result is kept in "},
        {{"--sim", "logic", "--out", "@full.vcd"}, kExitOutput, "the result is kept in "},
        {{"encode", "uart", "--baud", "115200", "--text", "U", "--out", "@full.dat"}, kExitOutput,
         "the result is kept in "},
        // A conversion keeps no copy: its input is still there.
        {{"convert", "@capture.vcd", "@full.csv"}, kExitOutput, "cannot write @full.csv: no space left on device"},
        // Complete results.
        {{"--sim", "osc", "--csv", "@osc.csv"}, kExitComplete, ""},
        {{"convert", "@capture.vcd", "@capture.csv"}, kExitComplete, ""},
        {{"info", "--help"}, kExitComplete, ""},
    };
    const auto expand = [this](std::string text) {
        for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + folder_.string().size()))
            text.replace(at, 1, folder_.string() + "/");
        return text;
    };
    for (const Case& c : cases) {
        std::vector<std::string> words;
        for (const auto& word : c.words)
            words.push_back(expand(word));
        SCOPED_TRACE(::testing::PrintToString(c.words));
        const Finished done = run(words);
        EXPECT_TRUE(done.exited);
        EXPECT_EQ(done.status, c.status) << done.err;
        EXPECT_NE(done.err.find(expand(c.message)), std::string::npos) << done.err;
        // A failure prints no result, not even a column header.
        if (c.status != kExitComplete) {
            EXPECT_EQ(done.out, "");
        }
        // Nothing half-done is left beside an output.
        for (const auto& entry : fs::directory_iterator(folder_))
            EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
        // The kept result is whole.
        const auto kept = done.err.find("the result is kept in ");
        if (kept != std::string::npos) {
            const fs::path file = done.err.substr(kept + 22, done.err.find('\n', kept) - kept - 22);
            EXPECT_GT(fs::file_size(file), 0u) << file;
            fs::remove_all(file.parent_path());
        }
    }
}

TEST_F(ExitStatus, EveryHelpListsTheOneTable)
{
    const std::vector<std::vector<std::string>> helps = {
        {"--help"},           {"osc", "--help"},    {"spectrum", "--help"}, {"record", "--help"},
        {"logic", "--help"},  {"decode", "--help"}, {"encode", "--help"},   {"convert", "--help"},
        {"info", "--help"},   {"calibration", "--help"}, {"firmware", "--help"}};
    for (const auto& words : helps) {
        SCOPED_TRACE(words[0]);
        const Finished done = run(words);
        EXPECT_EQ(done.status, kExitComplete) << done.err;
        EXPECT_NE(done.out.find("exit status (every command):\n  0    complete result"), std::string::npos) << done.out;
        EXPECT_NE(done.out.find("  130  Ctrl-C or SIGTERM"), std::string::npos);
    }
}

TEST_F(ExitStatus, WithoutAnInstrumentEveryDeviceCommandGivesTwo)
{
    if (run({"--probe"}).status == 0)
        GTEST_SKIP() << "an instrument is plugged in";
    const std::vector<std::vector<std::string>> commands = {
        {"info"}, {"osc"}, {"spectrum"}, {"record", "--duration", "1s"}, {"logic", "--out", path("x.vcd")},
        {"calibration", "read"}, {"calibration", "default"}, {"firmware", path("gen.bin")},
    };
    for (const auto& words : commands) {
        SCOPED_TRACE(words[0]);
        const Finished done = run(words);
        EXPECT_EQ(done.status, kExitNoInstrument) << done.err;
        EXPECT_FALSE(done.err.empty());
    }
    EXPECT_FALSE(fs::exists(path("x.vcd")));
}

TEST_F(ExitStatus, VersionIsPrintedAlone)
{
    for (const char* option : {"--version", "-V"}) {
        SCOPED_TRACE(option);
        const Finished done = run({option});
        EXPECT_EQ(done.status, kExitComplete) << done.err;
        EXPECT_TRUE(std::regex_match(done.out, std::regex("tesmar-cli [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"))) << done.out;
        EXPECT_EQ(done.err, "");
    }
}

TEST_F(ExitStatus, SignalsEndTheWorkWith130AndKeepWhatWasCaptured)
{
#if defined(__SANITIZE_THREAD__)
    // The sanitizer's runtime adds a thread of its own and intercepts the waits for signals, so
    // which thread a process-directed signal reaches is no longer the program's doing: now and
    // then SIGTERM ends the process by its default action. The program's threads are checked
    // without it.
    GTEST_SKIP() << "signal delivery is not the program's own under ThreadSanitizer";
#endif
    // A record cut short keeps what it has.
    Finished done = run({"--sim", "record", "--duration", "1h", "--out", path("cut.dat")}, SIGINT, outputTaken("cut.dat"));
    EXPECT_TRUE(done.exited);
    EXPECT_EQ(done.status, kExitInterrupted) << done.err;
    const auto bytes = ReadWholeFile(path("cut.dat"));
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(std::holds_alternative<DataFile>(ReadDataFile(*bytes)));

    // A logic stream keeps what it captured, or says that nothing came.
    done = run({"--sim", "logic", "--mode", "stream", "--rate", "1k", "--depth", "1M", "--out", path("cut.vcd")},
               SIGTERM, outputTaken("cut.vcd"));
    EXPECT_EQ(done.status, kExitInterrupted) << done.err;
    EXPECT_NE(done.err.find("interrupted"), std::string::npos) << done.err;

    // Records that never come: nothing to keep, nothing left behind.
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"--sim", "osc", "--trigger", "a", "--level", "19", "--timeout", "3600", "--csv", path("never.csv")},
             {"--sim", "spectrum", "--mode", "stream", "--rate", "100", "--size", "65536", "--csv", path("never.csv")}}) {
        SCOPED_TRACE(words[1]);
        done = run(words, SIGINT, outputTaken("never.csv"));
        EXPECT_EQ(done.status, kExitInterrupted) << done.err;
        EXPECT_NE(done.err.find("interrupted before the record came"), std::string::npos) << done.err;
        EXPECT_EQ(leftovers("never.csv"), 0);
    }

    // File commands blocked on an input that does not end (a pipe nobody closes).
    ASSERT_EQ(::mkfifo(path("pipe.csv").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(path("pipe.dat").c_str(), 0600), 0);
    const int csvWriter = ::open(path("pipe.csv").c_str(), O_RDWR);
    const int datWriter = ::open(path("pipe.dat").c_str(), O_RDWR);
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        done = run({"convert", path("pipe.csv"), path("big.vcd")}, signal, outputTaken("big.vcd"));
        EXPECT_EQ(done.status, kExitInterrupted) << done.err;
        EXPECT_EQ(leftovers("big.vcd"), 0);
        done = run({"encode", "uart", "--text", "U", "--in", path("pipe.dat"), "--out", path("gen.dat")}, signal,
                   outputTaken("gen.dat"));
        EXPECT_EQ(done.status, kExitInterrupted) << done.err;
        EXPECT_EQ(leftovers("gen.dat"), 0);
        done = run({"decode", "uart", path("pipe.csv")}, signal, Watching);
        EXPECT_EQ(done.status, kExitInterrupted) << done.err;
    }
    // A data file is read at offsets: a pipe is refused at once instead of being waited on.
    // No signal races the refusal; one comes only if it waits, which then fails the test.
    const auto start = std::chrono::steady_clock::now();
    done = run({"info", path("pipe.dat")}, SIGKILL,
               [start](pid_t) { return std::chrono::steady_clock::now() - start > std::chrono::seconds(20); });
    EXPECT_TRUE(done.exited);
    EXPECT_EQ(done.status, kExitFailure) << done.err;
    EXPECT_NE(done.err.find("not a regular file"), std::string::npos) << done.err;
    ::close(csvWriter);
    ::close(datWriter);
}

} // namespace
} // namespace tesmar
