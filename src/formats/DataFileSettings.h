#pragma once
// The four page settings chunks of the measurement data file, field by field. Each chunk ends
// in 1024 zero bytes that no reader interprets.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesmar {

enum class DataFilePage : std::uint8_t { Oscilloscope = 0x80, Spectrum = 0x90, Recorder = 0xA0, Logic = 0xB0 };

inline constexpr std::uint8_t kDataFileFormatMark = 0x10;
inline constexpr int kOscSettingsLength = 1206;
inline constexpr int kSpectrumSettingsLength = 1297;
inline constexpr int kRecorderSettingsLength = 15227;
inline constexpr int kLogicSettingsLength = 1076;
inline constexpr int kRecorderMarkerSlots = 99;

// The five general signal parameters: Uconst, Uvaria, Umax, Umin, F.
using StoredSignalParams = std::array<double, 5>;

struct AxisLimits {
    double max = 0.0;
    double min = 0.0;
    bool operator==(const AxisLimits&) const = default;
};

struct OscSettingsChunk {
    double samplePeriod = 0.0; // s
    std::uint16_t cbOscZoom = 0;
    bool sbOscOnCh1 = false;
    bool sbOscOnCh2 = false;
    std::uint16_t knOscCh1 = 0;
    std::uint16_t knOscCh2 = 0;
    double triggerLevelA = 0.0; // V
    double triggerLevelB = 0.0;
    double firstTimeA = 0.0; // s, 0 without points
    double firstTimeB = 0.0;
    AxisLimits leftAxis, rightAxis, timeAxis;
    StoredSignalParams paramsA{}, paramsB{};
    bool operator==(const OscSettingsChunk&) const = default;
};

struct SpectrumSettingsChunk {
    double sampleRate = 0.0; // Hz
    std::uint16_t cbFFTZoom = 0;
    bool sbFFTOnCh1 = false;
    bool sbFFTOnCh2 = false;
    bool spbtFFTCh1dB = false;
    bool spbtFFTCh10dB = false;
    bool spbtFFTCh2dB = false;
    bool spbtFFTCh20dB = false;
    std::uint16_t knFFTCh1 = 0;
    std::uint16_t knFFTCh2 = 0;
    AxisLimits leftAxis, rightAxis, frequencyAxis;
    StoredSignalParams paramsA{}, paramsB{};
    // Largest value A, B; first harmonic amplitude A, B; first harmonic frequency A, B (Hz).
    std::array<double, 6> summary{};
    bool cbFFTKNIMax = false;
    std::string edFFTKNIF;   // text[9] fields, UTF-8 in memory
    std::string lbFFTKNI1Ch1;
    std::string lbFFTKNI3Ch1;
    std::string lbFFTF1Ch1;
    std::string lbFFTKNI1Ch2;
    std::string lbFFTKNI3Ch2;
    std::string lbFFTF1Ch2;
    bool operator==(const SpectrumSettingsChunk&) const = default;
};

struct RecorderMarkerSlot {
    bool exists = false;
    std::string comment;     // text[128]
    std::uint32_t colour = 0; // 0x00BBGGRR
    double position = 0.0;    // days
    bool operator==(const RecorderMarkerSlot&) const = default;
};

struct RecorderSettingsChunk {
    double samplePeriod = 0.0; // s
    std::uint16_t cbRecZoom = 0;
    bool sbRecOnCh1 = false;
    bool sbRecOnCh2 = false;
    std::uint16_t knRecTimeDiv = 0;
    std::uint16_t knRecCh1 = 0;
    std::uint16_t knRecCh2 = 0;
    AxisLimits leftAxis, rightAxis, timeAxis;
    std::string lbRecRunTime; // text[12]
    std::string lbRecUmaxCh1, lbRecUminCh1, lbRecUsrCh1; // text[9]
    std::string lbRecUmaxCh2, lbRecUminCh2, lbRecUsrCh2;
    std::array<RecorderMarkerSlot, kRecorderMarkerSlots> markers{}; // slot k − 1 is marker k
    bool operator==(const RecorderSettingsChunk&) const = default;
};

struct LogicSettingsChunk {
    double sampleRate = 0.0; // Hz
    std::uint16_t cbLANZoom = 0;
    bool sbLANModeBusG = false;
    bool sbLANModeBusA = false;
    std::uint8_t modeByte = 0;      // byte 0 of the logic analyser parameter block
    std::uint8_t displayMask = 0xFF; // lan_use_ch_mask
    double timeUnitFactor = 1e6;    // 1, 1000 or 1 000 000
    double firstSampleTime = 0.0;   // in time-axis units
    AxisLimits timeAxis;
    bool operator==(const LogicSettingsChunk&) const = default;
};

void WriteSettingsChunk(const OscSettingsChunk& chunk, std::vector<std::uint8_t>& out);
void WriteSettingsChunk(const SpectrumSettingsChunk& chunk, std::vector<std::uint8_t>& out);
void WriteSettingsChunk(const RecorderSettingsChunk& chunk, std::vector<std::uint8_t>& out);
void WriteSettingsChunk(const LogicSettingsChunk& chunk, std::vector<std::uint8_t>& out);

// From a whole settings chunk (header included); missing bytes read as zero.
OscSettingsChunk ReadOscSettings(std::span<const std::uint8_t> chunk);
SpectrumSettingsChunk ReadSpectrumSettings(std::span<const std::uint8_t> chunk);
RecorderSettingsChunk ReadRecorderSettings(std::span<const std::uint8_t> chunk);
LogicSettingsChunk ReadLogicSettings(std::span<const std::uint8_t> chunk);

} // namespace tesmar
