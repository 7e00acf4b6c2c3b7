#pragma once
// One logic line known by the samples at which it changes level rather than sample by sample:
// the changes are taken from a source as a decoder moves on and dropped once it has passed
// them, so a line of any length costs memory only for the stretch being decoded. The line is low
// before its first change.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace tesmar {

class EdgeLine {
public:
    // `next` writes up to `room` of the next sample indexes at which the line changes level
    // (ascending, each past the one before) and tells how many; 0 when there are none left.
    using Source = std::function<std::size_t(std::int64_t* into, std::size_t room)>;
    EdgeLine(std::int64_t size, Source next);

    std::int64_t size() const { return size_; }
    bool high(std::int64_t s);
    // High samples among the `n` from `s`.
    std::int64_t ones(std::int64_t s, std::int64_t n);
    // The first low sample from `s` on, `end` when there is none before it.
    std::int64_t skipHigh(std::int64_t s, std::int64_t end);
    // The last high sample at or before `s`, 0 when there is none.
    std::int64_t lastHighAtOrBefore(std::int64_t s);
    // Samples before `s` are not asked about any more.
    void release(std::int64_t s);

private:
    // Changes known up to past `s`, or all of them.
    void need(std::int64_t s);
    void fetch(std::int64_t s);
    // Position in changes_ of the first change after `s`.
    std::size_t firstAfter(std::int64_t s);
    bool levelBefore(std::size_t position) const { return levelAtBase_ ^ ((position - base_) & 1); }

    std::int64_t size_;
    Source next_;
    std::vector<std::int64_t> changes_;
    std::size_t base_ = 0;     // changes before it are dropped
    bool levelAtBase_ = false; // the level before changes_[base_]
    bool ended_ = false;
    std::size_t cursor_ = 0; // the last answer of firstAfter
};


// The questions a decoder asks for every bit are answered here, where the decoder can have them
// inlined.

inline void EdgeLine::need(std::int64_t s)
{
    if (!ended_ && (changes_.size() == base_ || changes_.back() <= s))
        fetch(s);
}

inline std::size_t EdgeLine::firstAfter(std::int64_t s)
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

inline bool EdgeLine::high(std::int64_t s)
{
    return levelBefore(firstAfter(s));
}

inline std::int64_t EdgeLine::ones(std::int64_t s, std::int64_t n)
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

inline std::int64_t EdgeLine::skipHigh(std::int64_t s, std::int64_t end)
{
    if (s >= end)
        return s;
    const std::size_t k = firstAfter(s);
    if (!levelBefore(k))
        return s;
    // High at s: low from the next change on.
    return k < changes_.size() ? std::min(changes_[k], end) : end;
}

} // namespace tesmar
