#pragma once
// The logic analyser's sampling mode as the rate knob and the page's buttons decide it: rate
// code, sample rate, buffered or streamed, depth and pre-trigger, and which controls stay usable.

#include <cstdint>
#include <optional>
#include <span>

namespace tesmar {

inline constexpr int kLogicFastEntry = 32;   // 2 MHz; 33 … 36 are 2.667, 4, 6, 8 MHz
inline constexpr int kLogicBufferDepth = 1544;
inline constexpr int kLogicFastDepth = 1160;
inline constexpr int kLogicTinyDepth = 128;

enum class LogicLineList { BusA, BusB, All };

struct LogicModeInput {
    int rateEntry = 31;
    std::span<const double> entryValues;     // the knob's entries, Hz
    std::optional<double> externalFrequency; // "Fд=" entered, Hz (already on the clock grid)
    bool generator = true;                   // sbLANModeBusG
    bool sixteenLines = false;               // sbLANModeBusA
    bool externalClock = false;              // sbLANExtSampling
    bool triggerOn = false;
    bool pulseSkipActive = false;            // a pass button down and a count above 0
    int bufferLimitIndex = 24;               // lan_index_buf: 0 "Все", e ≥ 1 entry e − 1
    int bufferedPreTrigger = 32;             // lan_pre_trg_buf
    int streamDepthIndex = 4;                // lan_mem_size_index: 4096 × 2^index
    int streamPrePercent = 10;               // lan_pre_trg_pipe_pr
};

struct LogicMode {
    double sampleRate = 1'000'000.0;
    int rateCode = 5;
    bool buffered = true;
    std::int64_t depth = kLogicBufferDepth;
    std::int64_t preTrigger = 0;
    bool fastEntry = false;
    // Control states that follow from the mode.
    bool busBModesEnabled = true;     // sbLANModeBusG / sbLANModeBusA usable at all
    bool generatorEnabled = true;
    bool externalEnabled = true;
    bool passEnabled = true;
    bool maskOnBusBEnabled = false;
    LogicLineList edgeLines = LogicLineList::All;
    LogicLineList passLines = LogicLineList::All;
    // Buttons the mode releases.
    bool releaseBusBModes = false;
    bool releaseGenerator = false;
    bool releaseExternal = false;
};

// The rate the instrument's divider makes of a knob entry (2.667 MHz is exactly 24 MHz / 9).
double LogicEntryRate(int entry, double value);
// Stream depth in samples of the option's item.
std::int64_t LogicStreamDepth(int depthIndex);

LogicMode ChooseLogicMode(const LogicModeInput& input);

// The knob entry a saved capture was taken at: by its rate code at the fast rates, else the
// entry whose divided rate is the capture's; none when no entry gives that rate (the frequency
// of an external clock).
std::optional<int> LogicEntryForCapture(std::span<const double> entryValues, int rateCode, double sampleRate);

} // namespace tesmar
