#pragma once
// Builds synthetic captures for the decoder tests: levels held for a number of samples on one
// line of a bus.

#include <cstdint>
#include <vector>

namespace tesmar::test {

class LineBuilder {
public:
    explicit LineBuilder(std::vector<std::uint8_t>& bus, int line) : bus_(bus), mask_(std::uint8_t(1u << (line & 7))) {}

    // Holds `level` from the current position up to sample `until` (exclusive).
    LineBuilder& holdUntil(std::int64_t until, bool level)
    {
        if (static_cast<std::int64_t>(bus_.size()) < until)
            bus_.resize(static_cast<std::size_t>(until), 0);
        for (std::int64_t i = position_; i < until; ++i)
            bus_[i] = level ? std::uint8_t(bus_[i] | mask_) : std::uint8_t(bus_[i] & ~mask_);
        position_ = until;
        return *this;
    }
    LineBuilder& hold(std::int64_t samples, bool level) { return holdUntil(position_ + samples, level); }
    std::int64_t position() const { return position_; }

private:
    std::vector<std::uint8_t>& bus_;
    std::uint8_t mask_;
    std::int64_t position_ = 0;
};

} // namespace tesmar::test
