#pragma once
// One logic line known by the samples at which it changes level rather than sample by sample:
// the changes are taken from a source as a decoder moves on and dropped once it has passed
// them, so a line of any length costs memory only for the stretch being decoded. The line is low
// before its first change.

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

} // namespace tesmar
