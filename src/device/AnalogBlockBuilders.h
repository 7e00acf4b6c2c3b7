#pragma once
// Builders of the analogue parameter block for the oscilloscope, spectrum and recorder pages.
// Each takes the page's settings as a plain record and returns the block, the setup-packet
// fields it sets, and the values the acquisition needs.

#include "AnalogBlock.h"
#include "Calibration.h"

#include <cstdint>
#include <optional>

namespace tesmar {

enum class TriggerSource { ChannelA, ChannelB, External };
enum class TriggerEdge { Rising, Falling };
enum class TriggerKind { Absolute, Difference };

struct OscBlockInput {
    double timeDiv = 1e-3;            // knOscTimeDiv value: sample period of one channel, s
    bool chAOn = true, chBOn = false;
    double rangeA = 20.0, rangeB = 20.0; // knOscCh1 / knOscCh2 values, V
    CalibrationSet calibration;
    bool oldInputCodes = false;       // `old`
    bool streamMode = false;          // read mode chosen by the time-base handler
    int capacity = 1126;              // points per channel of the read mode
    int preTriggerCount = 100;        // of the read mode
    bool disableAveraging = true;     // cbOscDisableAverage
    std::optional<double> bufferBoundaryPeriod; // period of cbOscTdBufIndex's entry; none for "Все"
    bool triggerOn = false;
    TriggerSource triggerSource = TriggerSource::ChannelA;
    TriggerEdge triggerEdge = TriggerEdge::Rising;
    TriggerKind triggerKind = TriggerKind::Absolute;
    double levelA = 0.0, levelB = 0.0; // absolute levels of the two trigger lines, V
    std::optional<double> typedThreshold; // edOscTriggerDif as typed; none when it is not a number
    double previousThreshold = 0.2;
};

struct OscBlock {
    AnalogBlock block;
    std::uint8_t bRequest = 5;
    std::uint16_t wValue = 0;
    std::uint16_t wIndex = 0;         // always written by this builder
    int averaging = 1;                // N
    double rate = 0.0;                // final converter rate f
    double pointPeriod = 0.0;         // N × channel factor / f, s
    bool chAOn = true, chBOn = false;
    CalibrationPair pairA, pairB;     // pairs in effect
    int capacity = 0;
    int preTriggerCount = 0;
    double threshold = 0.2;           // clamped difference threshold, V
};

inline constexpr double kMinDifferenceThreshold = 0.2;
inline constexpr double kMaxDifferenceThreshold = 20.0;

OscBlock BuildOscBlock(const OscBlockInput& input);

struct SpectrumBlockInput {
    double sampleRate = 100'000.0;    // knFFTFrecDiv value Fd, Hz
    bool chAOn = true, chBOn = false;
    double rangeA = 20.0, rangeB = 20.0; // knFFTCh1 / knFFTCh2 values, V
    CalibrationSet calibration;
    bool oldInputCodes = false;
    bool streamMode = false;
    int capacity = 1126;
    bool disableAveraging = true;     // cbFFTDisableAverage
    std::optional<double> bufferBoundaryRate; // rate of cbFFTFdBufIndex's entry; none for "Все"
};

struct SpectrumBlock {
    AnalogBlock block;
    std::uint8_t bRequest = 5;
    std::uint16_t wValue = 0;         // wIndex is not written
    int averaging = 1;
    double rate = 0.0;                // final converter rate f
    double sampleRate = 0.0;          // QuantizeRate(Fd), for the spectrum view
    bool chAOn = true, chBOn = false;
    CalibrationPair pairA, pairB;
    int capacity = 0;
};

SpectrumBlock BuildSpectrumBlock(const SpectrumBlockInput& input);

struct RecorderBlockInput {
    double timeDiv = 1.0;             // knRecTimeDiv value Td, s
    bool chAOn = true, chBOn = false;
    double rangeA = 20.0, rangeB = 20.0; // knRecCh1 / knRecCh2 values, V
    CalibrationSet calibration;
    bool oldInputCodes = false;
    bool disableAveraging = false;    // cbRecDisableAverage
    double workingLimit = 200'000.0;  // 1 / period of "Tд мин рабочее", Hz
    double displayLimit = 200'000.0;  // 1 / period of "Tд мин отображения", Hz
};

struct RecorderBlock {
    AnalogBlock block;
    std::uint8_t bRequest = 5;
    std::uint16_t wValue = 0;
    int averaging = 1;
    double rate = 0.0;
    bool tooFast = false;             // R above the display limit
    bool chAOn = true, chBOn = false;
    CalibrationPair pairA, pairB;
};

RecorderBlock BuildRecorderBlock(const RecorderBlockInput& input);

} // namespace tesmar
