#pragma once
// The progress of a capture on standard error, shown when its percentage changes: one line
// rewritten in place on a terminal, else whole lines at most once a second (a log file gets no
// carriage returns). It never goes back: while a trigger is searched the pre-trigger ring turns
// and its write position falls to 0 again and again.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace tesmar {

class StreamProgress {
public:
    // `unit` names what is counted ("samples", "MiB").
    StreamProgress(std::ostream& err, std::string prefix, std::int64_t depth, bool terminal,
                   std::string unit = "samples");
    // `stored` samples of the depth so far.
    void show(std::int64_t stored);
    // The last state, also when it came within the second; ends the line.
    void end();

private:
    int percent() const;
    void print();

    std::ostream& err_;
    std::string prefix_;
    std::int64_t depth_;
    bool terminal_;
    std::string unit_;
    std::int64_t most_ = 0;
    int shown_ = -1;
    std::chrono::steady_clock::time_point lastLine_;
    bool open_ = false;
};

} // namespace tesmar
