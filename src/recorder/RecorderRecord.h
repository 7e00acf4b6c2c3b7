#pragma once
// The recorder's record: y values of the channels that are on, each with its min/max summary,
// and one point count for both. Times are not stored: point i of channel A lies at i·dt, of
// channel B half a period later while it is drawn live with A. The reader thread appends and
// publishes the count; the user-interface thread reads every value below a published count
// while the recording goes on.

#include "MinMaxPyramid.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <span>

namespace tesmar {

inline constexpr double kSecondsPerDay = 86'400.0;

class RecordChannel {
public:
    explicit RecordChannel(std::size_t maxPoints = 0) : values_(maxPoints), pyramid_(maxPoints) {}

    bool reserve(std::size_t points) noexcept { return values_.reserve(points) && pyramid_.reserve(points); }
    std::size_t capacity() const { return values_.capacity(); }
    void release()
    {
        values_.release();
        pyramid_.release();
        written_ = summed_ = 0;
        cursor_ = chunkEnd_ = nullptr;
        sum_ = absSum_ = 0;
    }

    // Writer side: values go straight into the current chunk; reserve first.
    void append(double v)
    {
        if (cursor_ == chunkEnd_)
            nextChunk();
        *cursor_++ = v;
        ++written_;
    }
    // Room to write values in place, the rest of the current chunk (reserve first); `appended`
    // then counts those written.
    std::span<double> freeSpace()
    {
        if (cursor_ == chunkEnd_)
            nextChunk();
        return {cursor_, static_cast<std::size_t>(chunkEnd_ - cursor_)};
    }
    void appended(std::size_t count)
    {
        cursor_ += count;
        written_ += count;
    }
    // Brings the summary and the sums up to the values written.
    void summarise();

    // Reader side, below a published count.
    double at(std::size_t i) const { return values_[i]; }
    // The values from `first` on that lie together in one chunk (the caller bounds them by its count).
    std::span<const double> piece(std::size_t first) const
    {
        const std::size_t inChunk = first & ChunkedValues::kChunkMask;
        return {values_.chunkOf(first) + inChunk, ChunkedValues::kChunkSize - inChunk};
    }
    MinMax range(std::size_t first, std::size_t last) const { return pyramid_.range(values_, first, last); }
    // After the writer has ended.
    double sum() const { return sum_; }
    double absSum() const { return absSum_; }

private:
    void nextChunk()
    {
        cursor_ = values_.chunkOf(written_) + (written_ & ChunkedValues::kChunkMask);
        chunkEnd_ = values_.chunkOf(written_) + ChunkedValues::kChunkSize;
    }

    ChunkedValues values_;
    MinMaxPyramid pyramid_;
    std::size_t written_ = 0, summed_ = 0;
    double* cursor_ = nullptr;
    double* chunkEnd_ = nullptr;
    double sum_ = 0, absSum_ = 0;
};

struct RecordLayout {
    double pointPeriod = 1e-3; // Tp, s
    bool chAOn = true, chBOn = false;
    bool bHalfLater = false;   // B drawn live beside A: half a period later
};

class RecorderRecord {
public:
    RecorderRecord(const RecordLayout& layout, std::size_t maxPoints);

    const RecordLayout& layout() const { return layout_; }
    bool on(int channel) const { return channel == 0 ? layout_.chAOn : layout_.chBOn; }
    RecordChannel& channel(int channel) { return channels_[channel]; }
    const RecordChannel& channel(int channel) const { return channels_[channel]; }
    std::size_t maxPoints() const { return maxPoints_; }

    // Every channel that is on gets room for `points`; false when memory runs out.
    bool reserve(std::size_t points) noexcept;
    std::size_t capacity() const;
    // Empties the record (status 2 and 4).
    void release();

    // Points per channel the readers may see; published by the writer.
    std::size_t count() const { return count_.load(std::memory_order_acquire); }
    void publish(std::size_t count) { count_.store(count, std::memory_order_release); }

    double dtDays() const { return layout_.pointPeriod / kSecondsPerDay; }
    // Time of point i of a channel, in days.
    double timeOf(int channel, std::size_t i) const
    {
        return static_cast<double>(i) * dtDays() + (channel == 1 && layout_.bHalfLater ? dtDays() / 2 : 0.0);
    }
    // Index range [first, last) of the points of `channel` whose times lie in [from, to], with one
    // more point on each side when there is one, within the published count.
    std::pair<std::size_t, std::size_t> indexRange(int channel, double from, double to) const;

private:
    RecordLayout layout_;
    std::size_t maxPoints_;
    std::array<RecordChannel, 2> channels_;
    std::atomic<std::size_t> count_{0};
};

} // namespace tesmar
