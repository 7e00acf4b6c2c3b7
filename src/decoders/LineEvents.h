#pragma once
// A few logic lines known by the samples at which any of them changes level, in sample order,
// rather than sample by sample: the decoders that follow several lines at once (SPI, I2C,
// 1-Wire) step from change to change, so a capture of any length costs memory only for what
// they decode.

#include <cstdint>
#include <limits>

namespace tesmar {

class LineEvents {
public:
    virtual ~LineEvents() = default;
    // From the first sample again; false when the lines cannot be gone through again.
    virtual bool restart() = 0;
    // The next sample at which a watched line changes level and the levels of all watched lines
    // from it on (bit c for channel c); samples ascend, each event changes something, and the
    // lines are low before the first. False at the end.
    virtual bool next(std::int64_t& at, std::uint16_t& levels) = 0;
};

// Where the lines lie in time: every line has `sampleCount` samples, `period` apart from
// `firstTime`.
struct LineTiming {
    double period = 0.0;    // s
    double firstTime = 0.0; // s, of sample 0
    std::int64_t sampleCount = 0;

    double timeAt(std::int64_t index) const { return firstTime + period * static_cast<double>(index); }
};

// The levels at a sample that only moves forward. `Events` may be a final LineEvents class, for
// its calls to be inlined where the decoders step through every change.
template <class Events = LineEvents> class LineCursor {
public:
    explicit LineCursor(Events& events) : events_(events) { fetch(); }

    // Moves to sample `s` (not before the last one asked about).
    void moveTo(std::int64_t s)
    {
        while (hasNext_ && nextAt_ <= s) {
            beforeLast_ = levels_;
            levels_ = nextLevels_;
            lastAt_ = nextAt_;
            fetch();
        }
        at_ = s;
    }
    std::int64_t position() const { return at_; }
    bool high(int channel) const { return (levels_ >> channel) & 1u; }
    // The level at the sample before this one.
    bool highBefore(int channel) const { return ((lastAt_ == at_ ? beforeLast_ : levels_) >> channel) & 1u; }
    std::uint16_t levels() const { return levels_; }
    // The first sample after this one at which a line changes; none: the largest index.
    std::int64_t nextChange() const { return hasNext_ ? nextAt_ : std::numeric_limits<std::int64_t>::max(); }

private:
    void fetch() { hasNext_ = events_.next(nextAt_, nextLevels_); }

    Events& events_;
    std::uint16_t levels_ = 0;
    std::uint16_t beforeLast_ = 0; // before the change at lastAt_
    std::int64_t lastAt_ = -1;
    std::int64_t at_ = -1;
    bool hasNext_ = false;
    std::int64_t nextAt_ = 0;
    std::uint16_t nextLevels_ = 0;
};

} // namespace tesmar
