#pragma once
// What the tests of tesmar-cli's commands share: a folder of their own for their files, and a
// command run in the test's process with its status and both outputs kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace tesmar::testing {

// Made under the temporary folder for the running test (name and process in its name), removed
// with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix)
        : folder_(std::filesystem::temp_directory_path() /
                  (prefix + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::create_directories(folder_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
};

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// `command(args, out, err)`, as RunCli, RunDecodeCommand and the other verbs are called.
template <class Command> CommandRun RunCommand(Command command, const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace tesmar::testing
