#include "OscLiveRecord.h"

#include <utility>

namespace tesmar {

bool OscLiveRecord::offer(OscResult& snapshot, bool wait)
{
    std::unique_lock lock(mutex_, std::defer_lock);
    if (wait)
        lock.lock();
    else if (!lock.try_lock())
        return false;
    std::swap(latest_, snapshot);
    fresh_ = true;
    return true;
}

bool OscLiveRecord::take(OscResult& out)
{
    std::lock_guard lock(mutex_);
    if (!fresh_)
        return false;
    std::swap(latest_, out);
    fresh_ = false;
    return true;
}

void OscLiveRecord::clear()
{
    std::lock_guard lock(mutex_);
    fresh_ = false;
}

} // namespace tesmar
