#include "formats/WordReader.h"

#include "formats/DataFileLoad.h"

#include <cstring>

namespace tesmar {

namespace {
// No value change dump or CSV has a word this long; a device that never ends (/dev/zero) does.
constexpr std::size_t kLongestWord = std::size_t(64) << 20;
} // namespace

WordReader::WordReader(TextSource& source, std::size_t piece) : source_(source), buffer_(std::max<std::size_t>(piece, 16))
{
}

bool WordReader::restart()
{
    if (!source_.rewind())
        return false;
    position_ = end_ = 0;
    offset_ = 0;
    ended_ = false;
    problem_.clear();
    return true;
}

// Keeps buffer_[position_, end_) and appends what the source gives; false at its end.
bool WordReader::refill()
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
        if (buffer_.size() >= kLongestWord) {
            problem_ = "a word longer than " + std::to_string(kLongestWord >> 20) + " MiB";
            ended_ = true;
            return false;
        }
        buffer_.resize(buffer_.size() * 2);
    }
    // A device or pipe of unknown length keeps the limit of files read whole.
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

bool WordReader::next(std::string_view& word)
{
    for (;;) {
        while (position_ < end_ && IsBlank(buffer_[position_]))
            ++position_;
        if (position_ < end_)
            break;
        if (!refill())
            return false;
    }
    std::size_t stop = position_;
    for (;;) {
        while (stop < end_ && !IsBlank(buffer_[stop]))
            ++stop;
        if (stop < end_)
            break;
        const std::size_t scanned = stop - position_;
        const bool more = refill(); // moves the word to the front of the buffer
        stop = position_ + scanned;
        if (!more) {
            if (!problem_.empty())
                return false;
            break; // the text ends with this word
        }
    }
    word = std::string_view(buffer_.data() + position_, stop - position_);
    position_ = stop;
    return true;
}

} // namespace tesmar
