#include "formats/LineReader.h"

#include "formats/DataFileLoad.h"

#include <cstring>

namespace tesmar {

namespace {
// No capture file has a line this long; a device that never ends (/dev/zero) does.
constexpr std::size_t kLongestLine = std::size_t(64) << 20;
} // namespace

LineReader::LineReader(TextSource& source, std::size_t piece) : source_(source), buffer_(std::max<std::size_t>(piece, 16))
{
}

bool LineReader::refill()
{
    if (ended_)
        return false;
    if (position_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + position_, end_ - position_);
        offset_ += static_cast<std::int64_t>(position_);
        end_ -= position_;
        position_ = 0;
    }
    if (end_ == buffer_.size()) {
        if (buffer_.size() >= kLongestLine) {
            problem_ = "a line longer than " + std::to_string(kLongestLine >> 20) + " MiB";
            ended_ = true;
            return false;
        }
        buffer_.resize(buffer_.size() * 2);
    }
    if (source_.size() < 0 && offset_ + static_cast<std::int64_t>(end_) > static_cast<std::int64_t>(kMaxInputFileBytes)) {
        problem_ = "larger than " + std::to_string(kMaxInputFileBytes >> 30) + " GiB";
        ended_ = true;
        return false;
    }
    const std::size_t got = source_.read(buffer_.data() + end_, buffer_.size() - end_);
    if (got == 0) {
        ended_ = true;
        if (source_.failed())
            problem_ = "read error";
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::next(std::string_view& line)
{
    std::size_t scanned = 0;
    for (;;) {
        const char* start = buffer_.data() + position_;
        const void* found = std::memchr(start + scanned, '\n', end_ - position_ - scanned);
        if (found) {
            const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
            line = std::string_view(start, length);
            position_ += length + 1;
            return true;
        }
        scanned = end_ - position_;
        if (!refill()) {
            if (!problem_.empty() || scanned == 0)
                return false;
            line = std::string_view(buffer_.data() + position_, scanned);
            position_ += scanned;
            return true;
        }
    }
}

} // namespace tesmar
