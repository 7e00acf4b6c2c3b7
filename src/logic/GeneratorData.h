#pragma once
// The pattern generator's output data: 1544 samples played on bus B, bit k = line B.k.

#include <array>
#include <cstdint>

namespace tesmar {

class GeneratorData {
public:
    static constexpr int kSampleCount = 1544;

    std::uint8_t sample(int index) const { return samples_[index]; }
    void setSample(int index, std::uint8_t value) { samples_[index] = value; }
    bool line(int index, int bit) const { return (samples_[index] >> bit) & 1; }
    void setLine(int index, int bit, bool high);
    // Every sample of the line set to one level (the idle level before encoding).
    void fillLine(int bit, bool high);
    void clear() { samples_.fill(0); }

    const std::array<std::uint8_t, kSampleCount>& samples() const { return samples_; }

private:
    std::array<std::uint8_t, kSampleCount> samples_{};
};

} // namespace tesmar
