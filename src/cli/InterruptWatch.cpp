#include "InterruptWatch.h"

#include "ExitStatus.h"

#include <cstdlib>
#include <pthread.h>

namespace tesmar {

InterruptWatch::InterruptWatch()
{
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    thread_ = std::thread([this] {
        while (!done_) {
            if (sigwaitinfo(&signals_, nullptr) > 0 && !done_)
                interrupt();
        }
    });
}

InterruptWatch::~InterruptWatch()
{
    done_ = true;
    // Wakes the thread; it sees `done_` and leaves the signal unanswered.
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

const std::atomic<bool>& InterruptWatch::takeOver()
{
    takenOver_ = true;
    return interrupted_;
}

void InterruptWatch::interrupt()
{
    interrupted_ = true;
    if (takenOver_)
        return;
    // The lock is never given back: the process ends here.
    mutex_.lock();
    if (cleanUp_)
        cleanUp_();
    std::_Exit(kExitInterrupted);
}

InterruptWatch::CleanUp::CleanUp(InterruptWatch& watch, std::function<void()> cleanUp) : watch_(watch)
{
    std::lock_guard lock(watch_.mutex_);
    watch_.cleanUp_ = std::move(cleanUp);
}

InterruptWatch::CleanUp::~CleanUp()
{
    std::lock_guard lock(watch_.mutex_);
    watch_.cleanUp_ = nullptr;
}

} // namespace tesmar
