#pragma once
// What a stream record holds so far, handed from the reader thread to the user-interface thread
// while the record fills. Both sides keep a buffer of their own and only swap buffers under the
// lock; the reader never waits for it (a hand-over that finds the lock taken is dropped and the
// next one carries newer points), so drawing cannot slow the reader down.

#include "OscResult.h"

#include <mutex>

namespace tesmar {

class OscLiveRecord {
public:
    // Reader thread: hands `snapshot` over, receiving an older buffer in exchange. Unless `wait`,
    // false when the user-interface thread was taking the previous one at that moment.
    bool offer(OscResult& snapshot, bool wait = false);
    // User-interface thread: the newest snapshot not yet taken, swapped into `out`.
    bool take(OscResult& out);
    // Forgets a snapshot not yet taken (between runs).
    void clear();

private:
    std::mutex mutex_;
    OscResult latest_;
    bool fresh_ = false;
};

} // namespace tesmar
