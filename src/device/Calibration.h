#pragma once
// Calibration pairs of the two analogue channels and the instrument's 512-byte calibration
// record, which also carries the instrument type and number.

#include <array>
#include <cstdint>

namespace tesmar {

struct CalibrationPair {
    double zero = 0.0;         // volts at raw 0
    double voltsPerUnit = 0.0; // per 1/65536 of the converter range

    bool operator==(const CalibrationPair&) const = default;
};

enum class AnalogRange { Normal, Attenuated };

// The four pairs in effect; built-in defaults until an instrument supplies its own.
struct CalibrationSet {
    CalibrationPair aNormal{2.5062196601162, 7.46321147175893e-05};
    CalibrationPair aAttenuated{22.8748891964313, 0.00071381527528063};
    CalibrationPair bNormal{2.5062196601162, 7.46321147175893e-05};
    CalibrationPair bAttenuated{22.8748891964313, 0.00071381527528063};

    const CalibrationPair& pair(int channel, AnalogRange range) const;
    bool operator==(const CalibrationSet&) const = default;
};

// volts = zero − raw × 64 × voltsPerUnit; raw is the 10-bit sample.
double RawToVolts(int raw, const CalibrationPair& pair);
// The 16-bit-unit code of a voltage: (zero − volts) / voltsPerUnit.
double VoltsToCode(double volts, const CalibrationPair& pair);

// Range knob values above 2 V use the attenuated input.
inline constexpr double kAttenuatedRangeThreshold = 2.0;
inline AnalogRange RangeForVolts(double voltsPerDivision)
{
    return voltsPerDivision > kAttenuatedRangeThreshold ? AnalogRange::Attenuated : AnalogRange::Normal;
}

inline constexpr std::size_t kCalibrationRecordSize = 512;
using CalibrationBytes = std::array<std::uint8_t, kCalibrationRecordSize>;

struct CalibrationRecord {
    CalibrationBytes bytes{}; // kept whole: the uninterpreted parts are written back as read

    bool isBlank() const { return bytes[0] == 0xFF; }
    CalibrationSet pairs() const;        // the eight values of the record
    void setPairs(const CalibrationSet& pairs);
    std::uint8_t instrumentType() const { return bytes[256]; } // 0 logic analyser only, 255 not set
    void setInstrumentType(std::uint8_t type) { bytes[256] = type; }
    std::uint16_t instrumentNumber() const;
    void setInstrumentNumber(std::uint16_t number);
};

inline constexpr std::uint8_t kInstrumentTypeLogicOnly = 0;

} // namespace tesmar
