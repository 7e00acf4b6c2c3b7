#include "FileProgress.h"

namespace tesmar {

namespace {
// A pass shorter than this shows nothing.
constexpr auto kQuietStart = std::chrono::milliseconds(500);
} // namespace

FileProgress::FileProgress(std::ostream& err, std::string prefix, bool terminal)
    : err_(err), prefix_(std::move(prefix)), terminal_(terminal)
{
}

ReadProgress FileProgress::callback()
{
    if (!terminal_)
        return {};
    return [this](std::int64_t done, std::int64_t total) { show(done, total); };
}

void FileProgress::show(std::int64_t done, std::int64_t total)
{
    if (!terminal_ || total <= 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    // Another total, or going back to the start, is another pass.
    if (total != total_ || (line_ && done == 0)) {
        end();
        total_ = total;
        passStart_ = now;
    }
    if (!line_) {
        if (!passStart_ || now - *passStart_ < kQuietStart)
            return;
        line_.emplace(err_, prefix_, total >> 20, terminal_, "MiB");
    }
    line_->show(done >> 20);
}

void FileProgress::end()
{
    if (line_)
        line_->end();
    line_.reset();
    total_ = -1;
    passStart_.reset();
}

} // namespace tesmar
