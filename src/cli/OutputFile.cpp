#include "OutputFile.h"

#include "CliText.h"
#include "ExitStatus.h"
#include "formats/DataFileLoad.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tesmar {

namespace {

namespace fs = std::filesystem;

std::string Reason(int error)
{
    std::string reason = std::strerror(error);
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z')
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

// A new folder named PREFIXxxxxxx; empty with errno set when it cannot be made.
std::string MakeFolder(const std::string& prefix)
{
    std::string name = prefix + "XXXXXX";
    return ::mkdtemp(name.data()) ? name : std::string();
}

// Where a result that cannot reach its target is kept: the temporary folder, else the data folder.
std::string KeepElsewhere(const std::string& fileName, const OutputFile::Writer& write)
{
    std::vector<fs::path> places;
    std::error_code error;
    if (const fs::path temp = fs::temp_directory_path(error); !error)
        places.push_back(temp);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        places.emplace_back(data);
    else if (const char* home = std::getenv("HOME"); home && *home)
        places.push_back(fs::path(home) / ".local" / "share");
    for (const fs::path& place : places) {
        fs::create_directories(place, error);
        const std::string folder = MakeFolder((place / "tesmar-kept-").string());
        if (folder.empty())
            continue;
        const std::string kept = (fs::path(folder) / fileName).string();
        if (write(kept).empty())
            return kept;
        fs::remove_all(folder, error);
    }
    return {};
}

} // namespace

OutputFile::~OutputFile()
{
    discard();
}

std::string OutputFile::open(const std::string& path)
{
    const auto refuse = [&](const std::string& reason) { return "cannot write " + path + ": " + reason; };
    if (path.empty())
        return "cannot write an empty file name";
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status))
        return refuse("is a directory");
    // A device or pipe (/dev/stdout) is written in place.
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        if (::access(path.c_str(), W_OK) != 0)
            return refuse(Reason(errno));
        target_ = path;
        return {};
    }
    const fs::path target(path);
    const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(parent, error))
        return refuse(fs::exists(parent, error) ? "not a folder" : "no such folder");
    if (fs::exists(status) && ::access(path.c_str(), W_OK) != 0)
        return refuse(Reason(errno));
    const std::string folder = MakeFolder(path + ".part-");
    if (folder.empty())
        return refuse(Reason(errno));
    target_ = path;
    folder_ = folder;
    return {};
}

std::string OutputFile::commit(const Writer& write, bool keep)
{
    const fs::path fileName = fs::path(target_).filename();
    const std::string written = folder_.empty() ? target_ : (fs::path(folder_) / fileName).string();
    errno = 0;
    std::string problem = write(written);
    int cause = errno;
    std::error_code error;
    if (problem.empty() && !folder_.empty()) {
        fs::rename(written, target_, error);
        if (error) {
            problem = "rename";
            cause = error.value();
        }
    }
    discard();
    if (problem.empty())
        return {};
    // The writer's words, about the target rather than the work file.
    std::string message = problem == "rename" ? "cannot write " + target_ : problem;
    for (std::size_t at = 0; (at = message.find(written, at)) != std::string::npos; at += target_.size())
        message.replace(at, written.size(), target_);
    if (message.find(": ") == std::string::npos && cause != 0)
        message += ": " + Reason(cause);
    if (!keep)
        return message;
    const std::string kept = KeepElsewhere(fileName.empty() ? "result" : fileName.string(), write);
    return message + (kept.empty() ? "; the result is lost (no folder would take it)"
                                   : "; the result is kept in " + kept);
}

void OutputFile::discard()
{
    if (folder_.empty())
        return;
    std::error_code error;
    fs::remove_all(folder_, error);
}

OutputFile::Writer StreamWriter(std::function<void(std::ostream&)> write)
{
    return [write = std::move(write)](const std::string& path) {
        return WriteFileWith(path, write) ? std::string() : "cannot write " + path;
    };
}

int OpenOutputs(const std::string& command, std::initializer_list<std::pair<OutputFile*, std::string>> outputs,
                std::ostream& err)
{
    for (const auto& [file, path] : outputs) {
        if (path.empty())
            continue;
        if (const std::string problem = file->open(path); !problem.empty()) {
            err << "tesmar-cli " << command << ": " << TerminalText(problem) << '\n';
            return kExitOutput;
        }
    }
    return kExitComplete;
}

int CommitOutput(const std::string& command, OutputFile& file, const OutputFile::Writer& write, std::ostream& err,
                 bool keep)
{
    if (const std::string problem = file.commit(write, keep); !problem.empty()) {
        err << "tesmar-cli " << command << ": " << TerminalText(problem) << '\n';
        return kExitOutput;
    }
    return kExitComplete;
}

} // namespace tesmar
