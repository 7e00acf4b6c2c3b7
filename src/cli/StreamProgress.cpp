#include "StreamProgress.h"

#include <algorithm>

namespace tesmar {

StreamProgress::StreamProgress(std::ostream& err, std::string prefix, std::int64_t depth, bool terminal,
                               std::string unit)
    : err_(err), prefix_(std::move(prefix)), depth_(std::max<std::int64_t>(depth, 1)), terminal_(terminal),
      unit_(std::move(unit))
{
}

int StreamProgress::percent() const
{
    return static_cast<int>(most_ * 100 / depth_);
}

void StreamProgress::show(std::int64_t stored)
{
    most_ = std::max(most_, stored);
    if (percent() == shown_)
        return;
    if (!terminal_ && shown_ >= 0 && std::chrono::steady_clock::now() - lastLine_ < std::chrono::seconds(1))
        return;
    print();
}

void StreamProgress::end()
{
    if (shown_ >= 0 && percent() != shown_)
        print();
    if (open_)
        err_ << '\n';
    open_ = false;
}

void StreamProgress::print()
{
    shown_ = percent();
    lastLine_ = std::chrono::steady_clock::now();
    err_ << (terminal_ ? "\r" : "") << prefix_ << most_ << " of " << depth_ << " " << unit_ << " (" << shown_ << " %)"
         << (terminal_ ? "" : "\n") << std::flush;
    open_ = terminal_;
}

} // namespace tesmar
