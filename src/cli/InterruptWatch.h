#pragma once
// Ctrl-C and SIGTERM taken by a thread of their own (no handler, no global): a long command sees
// a flag and ends its work cleanly. Made before any other thread starts, so that every thread
// of the process inherits the blocked signals.

#include <atomic>
#include <csignal>
#include <thread>

namespace tesmar {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    const std::atomic<bool>& interrupted() const { return interrupted_; }

private:
    sigset_t signals_{};
    sigset_t previous_{};
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

} // namespace tesmar
