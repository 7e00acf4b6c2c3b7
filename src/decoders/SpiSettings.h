#pragma once
// Settings of the SPI window.

namespace tesmar {

struct SpiSettings {
    int polarity = 0; // clock level when idle: 0 "низко", 1 "высоко"
    int phase = 0;    // data taken on the 0 first / 1 second clock edge
    bool msbFirst = true;
};

// SPI mode 0 … 3 as polarity × 2 + phase.
inline SpiSettings SpiMode(int mode, bool msbFirst = true) { return {mode >> 1, mode & 1, msbFirst}; }

inline constexpr int kSpiMinClockKHz = 5;
inline constexpr int kSpiMaxClockKHz = 1000;
inline constexpr int kSpiMaxPairs = 20000;

} // namespace tesmar
