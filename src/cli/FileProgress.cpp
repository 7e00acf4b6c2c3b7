#include "FileProgress.h"

namespace tesmar {

FileProgress::FileProgress(std::ostream& err, std::string prefix, bool terminal, std::chrono::milliseconds quietStart)
    : err_(err), prefix_(std::move(prefix)), terminal_(terminal), quietStart_(quietStart)
{
}

ReadProgress FileProgress::callback()
{
    if (!terminal_)
        return {};
    return [this](std::int64_t done, std::int64_t total) { show(done, total, true); };
}

ReadProgress FileProgress::samplesCallback()
{
    if (!terminal_)
        return {};
    return [this](std::int64_t done, std::int64_t total) { show(done, total, false); };
}

void FileProgress::show(std::int64_t done, std::int64_t total, bool bytes)
{
    if (!terminal_ || total <= 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    // Another total, or going back to the start, is another pass.
    if (total != total_ || bytes != bytes_ || (line_ && done == 0)) {
        end();
        total_ = total;
        bytes_ = bytes;
        passStart_ = now;
    }
    if (!line_) {
        if (!passStart_ || now - *passStart_ < quietStart_)
            return;
        line_.emplace(err_, prefix_, bytes ? total >> 20 : total, terminal_, bytes ? "MiB" : "samples");
    }
    line_->show(bytes ? done >> 20 : done);
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
