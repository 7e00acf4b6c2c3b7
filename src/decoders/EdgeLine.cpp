#include "decoders/EdgeLine.h"

#include <algorithm>

namespace tesmar {

EdgeLine::EdgeLine(std::int64_t size, Source next) : size_(size), next_(std::move(next))
{
}

void EdgeLine::fetch(std::int64_t s)
{
    // A few changes ahead at a time: asking the source for each one costs more than keeping them.
    while (!ended_ && (changes_.size() == base_ || changes_.back() <= s)) {
        constexpr std::size_t kBatch = 256;
        const std::size_t had = changes_.size();
        changes_.resize(had + kBatch);
        const std::size_t got = next_(changes_.data() + had, kBatch);
        changes_.resize(had + got);
        ended_ = got == 0;
    }
}

std::int64_t EdgeLine::lastHighAtOrBefore(std::int64_t s)
{
    if (s <= 0)
        return s;
    const std::size_t k = firstAfter(s);
    if (levelBefore(k))
        return s;
    // Low at s: the change into it followed a high sample, if there was one.
    if (k == base_)
        return 0;
    return std::max<std::int64_t>(changes_[k - 1] - 1, 0);
}

void EdgeLine::release(std::int64_t s)
{
    // The last change at or before s stays: the level just before s depends on it.
    while (base_ + 1 < changes_.size() && changes_[base_ + 1] <= s) {
        ++base_;
        levelAtBase_ = !levelAtBase_;
    }
    if (base_ >= 4096 && base_ * 2 >= changes_.size()) {
        changes_.erase(changes_.begin(), changes_.begin() + static_cast<std::ptrdiff_t>(base_));
        cursor_ = cursor_ > base_ ? cursor_ - base_ : 0;
        base_ = 0;
    }
}

} // namespace tesmar
