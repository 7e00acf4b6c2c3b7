#pragma once
// Ctrl-C and SIGTERM taken by a thread of their own (no handler, no global). Made before any
// other thread starts, so that every thread of the process inherits the blocked signals.
//
// By default a signal ends the process at once with kExitInterrupted, after the clean-up the
// command set (its unfinished output removed). A command whose work can stop by itself takes
// the flag over instead: it sees the flag, ends its work and writes what it has.

#include <atomic>
#include <csignal>
#include <functional>
#include <mutex>
#include <thread>

namespace tesmar {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // From now on a signal only raises the flag.
    const std::atomic<bool>& takeOver();
    const std::atomic<bool>& interrupted() const { return interrupted_; }

    // While it lives, a signal runs `cleanUp` before the process ends.
    class CleanUp {
    public:
        CleanUp(InterruptWatch& watch, std::function<void()> cleanUp);
        ~CleanUp();
        CleanUp(const CleanUp&) = delete;
        CleanUp& operator=(const CleanUp&) = delete;

    private:
        InterruptWatch& watch_;
    };

private:
    void interrupt();

    sigset_t signals_{};
    sigset_t previous_{};
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> takenOver_{false};
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::function<void()> cleanUp_;
    std::thread thread_;
};

} // namespace tesmar
