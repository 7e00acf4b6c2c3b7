#pragma once
// The 9-byte parameter block of command 7 (logic analyser) and its builder, which also yields
// the generator upload that must precede it when bus B drives the pattern.

#include "Commands.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tesmar {

struct LogicBlock {
    std::array<std::uint8_t, 9> bytes{};
    bool operator==(const LogicBlock&) const = default;
};

inline constexpr int kGeneratorImageSize = 1544;
using GeneratorImage = std::array<std::uint8_t, kGeneratorImageSize>;

// Lines are given by number, 0 … 7 bus A lines, 8 … 15 bus B lines, whatever the list they were
// chosen from holds at the current rate.
struct LogicBlockInput {
    int rateEntry = 31;               // selected entry of knLANFrecDiv
    double sampleRate = 1'000'000.0;  // its rate F, Hz
    bool bufferMode = true;           // chosen by the rate knob handler
    bool busBAnalyser = false;        // sbLANModeBusA
    bool busBGenerator = true;        // sbLANModeBusG
    bool cyclicGeneration = false;    // miLANCG
    bool keepOutputs = true;          // miLANKeepOUT
    bool externalClock = false;       // sbLANExtSampling
    int externalClockLine = 0;        // cbLANChExtSmpl item (B.0 … B.7)
    bool externalEdgeRising = false;  // sbLANExtEdgeRising
    bool busAInverse = true;          // cbLanBusAInverse
    bool triggerOn = false;           // sbLANTriggerOn
    bool patternTrigger = false;      // sbLANTriggerMask
    bool edgeRising = true;           // sbLANTriggerEdgeRising
    std::string patternText;          // edLANTriggerMask
    bool patternOnBusA = false;       // sbLANTriggerMaskOnBusA
    int edgeLine = 0;                 // line chosen in cbLANTriggerEdgeCh
    bool skipRising = false;          // sbLANPassImpulsRising
    bool skipFalling = false;         // sbLANPassImpulsFailling
    int skipCount = 0;                // udLANPassImpuls, 0 … 32767
    int skipLine = 0;                 // line chosen in cbLANPassImpulsCh
    std::uint8_t preTrigger = 0;      // kept by the rate knob handler
    const GeneratorImage* generator = nullptr; // uploaded when bus B is the generator
};

struct LogicBlockResult {
    LogicBlock block;
    std::uint8_t bRequest = 7;
    std::optional<std::uint16_t> wValue; // internal clock reload value
    std::optional<std::uint16_t> wIndex; // pulse-skip count
    CommandSequence generatorUpload;     // empty unless bus B is the generator
    int captureMode = 0;                 // byte 0
};

// Value and care bytes of a pattern text, first character the most significant.
struct PatternBytes {
    std::uint8_t value = 0, care = 0;
};
struct PatternForms {
    PatternBytes plain, reversed;
};
PatternForms ParsePattern(const std::string& text);

// The capture mode of byte 0 for a rate knob entry.
int LogicCaptureMode(int rateEntry, bool bufferMode);
// The pulse-skip count as the instrument wants it in wIndex.
std::uint16_t PulseSkipIndex(int count);

LogicBlockResult BuildLogicBlock(const LogicBlockInput& input);

// The command-8 writes that put the generator image into the instrument, in order.
CommandSequence GeneratorUploadSequence(const GeneratorImage& image);

} // namespace tesmar
