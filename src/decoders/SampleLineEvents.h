#pragma once
// A few lines of the sample arrays the channel queries hold, handed to the decoders that step
// from change to change: the windows decode with the same code as the files read as they stream.

#include "decoders/LineEvents.h"
#include "logic/ChannelQueries.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace tesmar {

class SampleLineEvents final : public LineEvents {
public:
    // `channels`: the lines followed (those not given are left out), over samples 0 … count − 1.
    // A line whose data ends before that reads low past its end.
    SampleLineEvents(const ChannelQueries& queries, std::initializer_list<std::optional<int>> channels,
                     std::int64_t count);

    // The level `channel` reads past the end of its data.
    void setLevelPastEnd(int channel, bool high);

    bool restart() override;
    bool next(std::int64_t& at, std::uint16_t& levels) override
    {
        if (read_ == found_ && !fill())
            return false;
        const std::uint32_t change = changes_[read_++];
        at = batchStart_ + static_cast<std::int64_t>(change >> 16);
        levels = static_cast<std::uint16_t>(change);
        return true;
    }

private:
    // Bus A (lines 0 … 7) and bus B (8 … 15), each a byte per sample.
    struct Bus {
        const std::uint8_t* data = nullptr;
        std::int64_t size = 0;
        std::uint8_t mask = 0;    // the lines followed
        std::uint8_t pastEnd = 0; // their levels past the end of the data
    };

    // The changes among the next samples; false when there are none left.
    bool fill();
    // From position_ to `to`: `levelsAt(i)` gives the levels at sample i, `quiet(i, levels)` whether
    // samples i … i + 7 all have `levels` (false when it cannot tell).
    template <class Levels, class Quiet> void findChanges(std::int64_t to, Levels levelsAt, Quiet quiet);
    // The same for bus A alone, the common case, on eight samples at a time (little-endian).
    void findChangesOnBusA(std::int64_t to);

    // Changes are found a batch of samples at a time, in a loop without branches on the data:
    // a decoder steps through them far faster than through a branch for every sample.
    static constexpr std::size_t kBatch = 512;
    static_assert(kBatch <= 0x10000, "a change's distance into its batch is kept in 16 bits");

    std::array<Bus, 2> buses_;
    std::int64_t count_;
    std::int64_t inside_ = 0;   // samples that every bus followed has data for
    std::int64_t position_ = 0; // the next sample to look at
    std::uint16_t levels_ = 0;  // at the sample before it
    std::int64_t batchStart_ = 0;
    // Each change as its sample's distance from batchStart_ (high half) and the levels there.
    std::array<std::uint32_t, kBatch> changes_{};
    std::size_t found_ = 0;
    std::size_t read_ = 0;
};

} // namespace tesmar
