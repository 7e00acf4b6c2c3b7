#pragma once
// A file a command writes once its work (a measurement, a conversion) is done. It is taken
// before the work starts, so that a missing or read-only folder is known before anything is
// measured; the result is written into a folder of its own beside the target and renamed over
// it, so that an interrupted or failed write leaves no partial file; and a result that still
// cannot be written (a full disk) is kept in the user's temporary or data folder.

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

namespace tesmar {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Takes `path`: empty on success, else "cannot write PATH: reason".
    std::string open(const std::string& path);
    bool isOpen() const { return !target_.empty(); }
    const std::string& path() const { return target_; }

    // Writes the result through `write`, which writes the file it is given and returns an
    // empty string or its problem. Empty on success, else the message; with `keep`, the message
    // names the file the result was kept in instead.
    using Writer = std::function<std::string(const std::string& path)>;
    std::string commit(const Writer& write, bool keep = true);

    // Removes what was written so far; safe to call from another thread while `commit` runs.
    void discard();

private:
    std::string target_;
    std::string folder_; // the work folder beside the target; empty for a device written in place
};

// A writer of a stream that `write` fills (text or bytes).
OutputFile::Writer StreamWriter(std::function<void(std::ostream&)> write);

// Takes each output whose path is not empty: kExitComplete, or kExitOutput after
// "tesmar-cli COMMAND: problem" on `err` at the first that cannot be written.
int OpenOutputs(const std::string& command, std::initializer_list<std::pair<OutputFile*, std::string>> outputs,
                std::ostream& err);
// OutputFile::commit: kExitComplete, or kExitOutput after the message on `err`.
int CommitOutput(const std::string& command, OutputFile& file, const OutputFile::Writer& write, std::ostream& err,
                 bool keep = true);

} // namespace tesmar
