#pragma once
// The progress of a long pass over a file (reading, converting, decoding) on standard error, as
// the logic stream shows its own: only on a terminal, and only once a pass has run long enough
// to be worth watching. Each pass starts a line of its own.

#include "StreamProgress.h"
#include "formats/TextSource.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

namespace tesmar {

class FileProgress {
public:
    // A pass shorter than `quietStart` shows nothing.
    FileProgress(std::ostream& err, std::string prefix, bool terminal,
                 std::chrono::milliseconds quietStart = std::chrono::milliseconds(500));
    ~FileProgress() { end(); }
    // For the readers: `done` of `total` bytes of the current pass.
    ReadProgress callback();
    // For the writers: `done` of `total` samples.
    ReadProgress samplesCallback();
    void show(std::int64_t done, std::int64_t total, bool bytes = true);
    // Ends the line of the current pass, if one was shown.
    void end();

private:
    std::ostream& err_;
    std::string prefix_;
    bool terminal_;
    std::chrono::milliseconds quietStart_;
    std::int64_t total_ = -1;
    bool bytes_ = true;
    std::optional<std::chrono::steady_clock::time_point> passStart_;
    std::optional<StreamProgress> line_;
};

} // namespace tesmar
