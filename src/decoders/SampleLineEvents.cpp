#include "decoders/SampleLineEvents.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tesmar {

SampleLineEvents::SampleLineEvents(const ChannelQueries& queries, std::initializer_list<std::optional<int>> channels,
                                   std::int64_t count)
    : count_(std::max<std::int64_t>(count, 0))
{
    for (const auto& channel : channels) {
        if (!channel)
            continue;
        Bus& bus = buses_[*channel < 8 ? 0 : 1];
        const auto data = queries.data(*channel);
        bus.data = data.data();
        bus.size = static_cast<std::int64_t>(data.size());
        bus.mask |= ChannelQueries::lineMask(*channel);
    }
    // Following no line at all, nothing ever changes.
    inside_ = buses_[0].mask || buses_[1].mask ? count_ : 0;
    for (const Bus& bus : buses_)
        if (bus.mask)
            inside_ = std::min(inside_, bus.size);
}

void SampleLineEvents::setLevelPastEnd(int channel, bool high)
{
    Bus& bus = buses_[channel < 8 ? 0 : 1];
    const std::uint8_t bit = ChannelQueries::lineMask(channel) & bus.mask;
    bus.pastEnd = static_cast<std::uint8_t>(high ? bus.pastEnd | bit : bus.pastEnd & ~bit);
}

bool SampleLineEvents::restart()
{
    position_ = 0;
    levels_ = 0;
    found_ = read_ = 0;
    return true;
}

template <class Levels, class Quiet>
void SampleLineEvents::findChanges(std::int64_t to, Levels levelsAt, Quiet quiet)
{
    std::uint16_t before = levels_;
    std::size_t found = found_;
    std::int64_t i = position_;
    while (i < to) {
        if (i + 8 <= to && quiet(i, before)) {
            i += 8;
            continue;
        }
        for (const std::int64_t stop = std::min(i + 8, to); i < stop; ++i) {
            const std::uint16_t now = levelsAt(i);
            // Written every time, kept only when something changed.
            changes_[found] = static_cast<std::uint32_t>(i - batchStart_) << 16 | now;
            found += now != before;
            before = now;
        }
    }
    levels_ = before;
    found_ = found;
    position_ = to;
}

void SampleLineEvents::findChangesOnBusA(std::int64_t to)
{
    constexpr std::uint64_t kEachByte = 0x0101010101010101u;
    const Bus& a = buses_[0];
    const std::uint64_t mask = a.mask * kEachByte;
    auto before = static_cast<std::uint8_t>(levels_);
    std::size_t found = found_;
    std::int64_t i = position_;
    // Eight samples at a time: each against the one before it, and only the changes written.
    for (; i + 8 <= to; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, a.data + i, sizeof word);
        word &= mask;
        std::uint64_t differ = word ^ (word << 8 | before);
        before = static_cast<std::uint8_t>(word >> 56);
        while (differ) {
            const int k = std::countr_zero(differ) >> 3;
            changes_[found++] = static_cast<std::uint32_t>(i + k - batchStart_) << 16 |
                                static_cast<std::uint8_t>(word >> (8 * k));
            differ &= ~(std::uint64_t{0xFF} << (8 * k));
        }
    }
    levels_ = before;
    found_ = found;
    position_ = i;
    // The last few samples one by one.
    findChanges(
        to, [&](std::int64_t s) { return static_cast<std::uint16_t>(a.data[s] & a.mask); },
        [](std::int64_t, std::uint16_t) { return false; });
}

bool SampleLineEvents::fill()
{
    found_ = read_ = 0;
    const Bus& a = buses_[0];
    const Bus& b = buses_[1];
    auto quietOn = [](const Bus& bus, unsigned shift) {
        return [&bus, shift](std::int64_t i, std::uint16_t levels) {
            constexpr std::uint64_t kEachByte = 0x0101010101010101u;
            std::uint64_t word = 0;
            std::memcpy(&word, bus.data + i, sizeof word);
            return ((word ^ ((levels >> shift) & 0xFFu) * kEachByte) & bus.mask * kEachByte) == 0;
        };
    };
    auto cannotTell = [](std::int64_t, std::uint16_t) { return false; };
    while (found_ == 0 && position_ < count_) {
        // At most one change a sample: a batch of samples cannot overfill the batch of changes.
        batchStart_ = position_;
        const std::int64_t end = std::min(count_, position_ + static_cast<std::int64_t>(kBatch));
        const std::int64_t inside = std::clamp(inside_, position_, end);
        if (!b.mask && std::endian::native == std::endian::little)
            findChangesOnBusA(inside);
        else if (!b.mask)
            findChanges(
                inside, [&](std::int64_t i) { return static_cast<std::uint16_t>(a.data[i] & a.mask); }, quietOn(a, 0));
        else if (!a.mask)
            findChanges(
                inside, [&](std::int64_t i) { return static_cast<std::uint16_t>((b.data[i] & b.mask) << 8); },
                quietOn(b, 8));
        else
            findChanges(
                inside,
                [&](std::int64_t i) {
                    return static_cast<std::uint16_t>((a.data[i] & a.mask) | ((b.data[i] & b.mask) << 8));
                },
                cannotTell);
        // Past the end of a bus's data.
        findChanges(
            end,
            [&](std::int64_t i) {
                const unsigned low = i < a.size ? a.data[i] & a.mask : a.pastEnd;
                const unsigned high = i < b.size ? b.data[i] & b.mask : b.pastEnd;
                return static_cast<std::uint16_t>(low | (high << 8));
            },
            cannotTell);
    }
    return found_ > 0;
}

} // namespace tesmar
