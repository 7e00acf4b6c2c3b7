#include "InterruptWatch.h"

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
            timespec slice{0, 50'000'000};
            if (sigtimedwait(&signals_, nullptr, &slice) > 0)
                interrupted_ = true;
        }
    });
}

InterruptWatch::~InterruptWatch()
{
    done_ = true;
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace tesmar
