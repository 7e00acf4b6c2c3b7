#include "LogicStreamRecorder.h"

#include <algorithm>
#include <cstring>

namespace tesmar {

LogicStreamRecorder::LogicStreamRecorder(std::span<std::uint8_t> capture, std::int64_t preTrigger,
                                         const LogicStreamTrigger& trigger)
    : capture_(capture),
      pre_(std::clamp<std::int64_t>(preTrigger, 0, static_cast<std::int64_t>(capture.size()))),
      trigger_(trigger),
      phase_(pre_ > 0 ? Phase::Filling : Phase::After)
{
}

void LogicStreamRecorder::feed(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    const auto depth = static_cast<std::int64_t>(capture_.size());
    while (i < n && !full()) {
        switch (phase_) {
        case Phase::After: {
            // The common case: a straight copy up to the depth.
            const auto count = static_cast<std::size_t>(std::min<std::int64_t>(depth - next_, n - i));
            std::memcpy(capture_.data() + next_, bytes.data() + i, count);
            next_ += static_cast<std::int64_t>(count);
            i += count;
            break;
        }
        case Phase::Filling: {
            const auto count = static_cast<std::size_t>(std::min<std::int64_t>(pre_ - next_, n - i));
            std::memcpy(capture_.data() + next_, bytes.data() + i, count);
            next_ += static_cast<std::int64_t>(count);
            i += count;
            previous_ = bytes[i - 1];
            if (next_ == pre_) {
                next_ = 0;
                phase_ = Phase::Searching;
            }
            break;
        }
        case Phase::Searching: {
            const std::uint8_t care = trigger_.care, value = trigger_.value;
            for (; i < n; ++i) {
                const std::uint8_t b = bytes[i];
                capture_[next_] = b;
                bool fire;
                if (trigger_.mask)
                    fire = (b & care) == value;
                else if (trigger_.rising)
                    fire = !(previous_ & value) && (b & value);
                else
                    fire = (previous_ & value) && !(b & value);
                if (fire) {
                    triggered_ = true;
                    ringPosition_ = next_;
                    next_ = pre_;
                    phase_ = Phase::After;
                    ++i;
                    break;
                }
                if (++next_ == pre_)
                    next_ = 0;
                previous_ = b;
            }
            break;
        }
        }
    }
}

} // namespace tesmar
