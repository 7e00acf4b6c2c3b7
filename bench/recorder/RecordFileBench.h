#pragma once
// Open and save of a recorder data file measured in a child process, so that the peak memory
// (ru_maxrss) is that of the one operation, not of the benchmark program.

#include <cstddef>
#include <functional>

namespace tesmar::bench {

struct ChildFigures {
    double seconds = 0;    // of the timed part
    double baseMB = 0;     // resident before it
    double peakMB = 0;     // highest resident size of the child
    bool ok = false;
};

// Runs `prepare` and then the timed `work` in a forked child; false from either fails it.
ChildFigures MeasureInChild(const std::function<bool()>& prepare, const std::function<bool()>& work);

} // namespace tesmar::bench
