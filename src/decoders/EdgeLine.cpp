#include "decoders/EdgeLine.h"

#include <algorithm>

namespace tesmar {

EdgeLine::EdgeLine(std::int64_t size, Source next) : size_(size), next_(std::move(next))
{
}

void EdgeLine::need(std::int64_t s)
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

std::size_t EdgeLine::firstAfter(std::int64_t s)
{
    need(s);
    // Decoders mostly move on by a little: look near the last answer first.
    std::size_t k = std::clamp(cursor_, base_, changes_.size());
    if (k > base_ && changes_[k - 1] > s) {
        k = static_cast<std::size_t>(std::upper_bound(changes_.begin() + static_cast<std::ptrdiff_t>(base_),
                                                      changes_.begin() + static_cast<std::ptrdiff_t>(k), s) -
                                     changes_.begin());
    } else {
        std::size_t steps = 0;
        while (k < changes_.size() && changes_[k] <= s && ++steps < 8)
            ++k;
        if (k < changes_.size() && changes_[k] <= s)
            k = static_cast<std::size_t>(std::upper_bound(changes_.begin() + static_cast<std::ptrdiff_t>(k), changes_.end(), s) -
                                         changes_.begin());
    }
    cursor_ = k;
    return k;
}

bool EdgeLine::high(std::int64_t s)
{
    return levelBefore(firstAfter(s));
}

std::int64_t EdgeLine::ones(std::int64_t s, std::int64_t n)
{
    const std::int64_t end = s + n;
    std::size_t k = firstAfter(s);
    need(end - 1);
    bool level = levelBefore(k);
    std::int64_t count = 0;
    std::int64_t from = s;
    for (; k < changes_.size() && changes_[k] < end; ++k) {
        if (level)
            count += changes_[k] - from;
        from = changes_[k];
        level = !level;
    }
    if (level)
        count += end - from;
    return count;
}

std::int64_t EdgeLine::skipHigh(std::int64_t s, std::int64_t end)
{
    if (s >= end)
        return s;
    const std::size_t k = firstAfter(s);
    if (!levelBefore(k))
        return s;
    // High at s: low from the next change on.
    return k < changes_.size() ? std::min(changes_[k], end) : end;
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
