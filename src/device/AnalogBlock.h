#pragma once
// The 12-byte parameter block of command 5 and the rules shared by its three builders: the
// sample-rate code and the analogue input selector codes.

#include "Calibration.h"

#include <array>
#include <cstdint>

namespace tesmar {

struct AnalogBlock {
    std::array<std::uint8_t, 12> bytes{};

    static constexpr std::uint8_t kStream = 0x80;
    static constexpr std::uint8_t kTriggerOn = 0x40;
    static constexpr std::uint8_t kEdge = 0x20;
    static constexpr std::uint8_t kExternal = 0x10;
    static constexpr std::uint8_t kDifference = 0x08;
    static constexpr std::uint8_t kRateInHertz = 0x02;

    std::uint8_t& modeFlags() { return bytes[0]; }
    std::uint8_t& timingCode() { return bytes[1]; }
    std::uint8_t& preTrigger() { return bytes[2]; }
    std::uint8_t& triggerInput() { return bytes[3]; }
    std::uint8_t& sequence(int i) { return bytes[4 + i]; }
    bool operator==(const AnalogBlock&) const = default;
};

// The rate fields derived from the requested converter rate R (all channels together) and the
// averaging count N.
struct SampleRateCode {
    double rate = 0.0;            // final f on the 24 MHz grid, samples/s
    std::uint16_t wValue = 0;     // f in hertz (≤ 400 Hz) or in units of 10 Hz
    bool inHertz = false;         // bit 1 of byte 0
    std::uint8_t timingCode = 0;  // byte 1
};
SampleRateCode ComputeSampleRateCode(double requestedRate, int averaging);

// Input selector codes; with `oldCodes` the two normal-range codes are exchanged.
std::uint8_t InputCode(int channel, AnalogRange range, bool oldCodes);

// Bytes 4 … 11: A, B alternating with both channels on, else the one channel's code (B's with none).
void FillInputSequence(AnalogBlock& block, bool chAOn, bool chBOn, std::uint8_t codeA, std::uint8_t codeB);

} // namespace tesmar
