#include "LogicBlock.h"

#include <cmath>

namespace tesmar {

namespace {

constexpr int kWritePauseMs = 25;

DeviceCommand MemoryWrite(std::uint16_t space, std::uint16_t address, const GeneratorImage& image, int from, int count)
{
    return DeviceCommand{CmdWriteMemory, space, address,
                         std::vector<std::uint8_t>(image.begin() + from, image.begin() + from + count), kWritePauseMs};
}

// Line i of bus A is bit 7 − i when the bus is wired in reverse.
std::uint8_t BusABit(int line, bool inverse)
{
    return static_cast<std::uint8_t>(1u << (inverse ? 7 - line : line));
}

} // namespace

PatternForms ParsePattern(const std::string& text)
{
    PatternForms forms;
    for (char c : text) {
        const bool compared = c == '0' || c == '1';
        const std::uint8_t value = c == '1' ? 1 : 0;
        const std::uint8_t care = compared ? 1 : 0;
        forms.plain.value = static_cast<std::uint8_t>((forms.plain.value << 1) | value);
        forms.plain.care = static_cast<std::uint8_t>((forms.plain.care << 1) | care);
        forms.reversed.value = static_cast<std::uint8_t>((forms.reversed.value >> 1) | (value << 7));
        forms.reversed.care = static_cast<std::uint8_t>((forms.reversed.care >> 1) | (care << 7));
    }
    return forms;
}

int LogicCaptureMode(int rateEntry, bool bufferMode)
{
    switch (rateEntry) {
    case 36: return 0; // 8 MHz
    case 35: return 1; // 6 MHz
    case 34: return 2; // 4 MHz
    case 33: return 3; // 2,667 MHz
    case 32: return 4; // 2 MHz
    default: return bufferMode ? 5 : 6;
    }
}

std::uint16_t PulseSkipIndex(int count)
{
    const int low = count % 256;
    const int high = (count / 256 + (low != 0 ? 1 : 0)) % 256;
    return static_cast<std::uint16_t>(high * 256 + low);
}

LogicBlockResult BuildLogicBlock(const LogicBlockInput& in)
{
    LogicBlockResult out;
    if (in.busBGenerator && in.generator)
        out.generatorUpload = GeneratorUploadSequence(*in.generator);

    auto& b = out.block.bytes;
    const int mode = LogicCaptureMode(in.rateEntry, in.bufferMode);
    out.captureMode = mode;
    const bool eightLineMode = mode <= 4;
    b[0] = static_cast<std::uint8_t>(mode);

    if (in.busBAnalyser)
        b[1] |= 0x80;
    if (in.busBGenerator) {
        b[1] |= 0x40;
        if (in.cyclicGeneration)
            b[1] |= 0x08;
    }
    if (in.externalClock)
        b[1] |= 0x20;
    if (in.keepOutputs)
        b[1] |= 0x10;

    if (in.triggerOn) {
        b[2] |= 0x80;
        if (in.patternTrigger) {
            b[2] |= 0x40;
            const PatternForms forms = ParsePattern(in.patternText);
            if (eightLineMode || in.patternOnBusA) {
                b[2] |= 0x10;
                const PatternBytes& p = in.busAInverse ? forms.reversed : forms.plain;
                b[5] = p.value;
                b[6] = p.care;
            } else {
                b[5] = forms.plain.value;
                b[6] = forms.plain.care;
            }
        } else {
            if (in.edgeRising)
                b[2] |= 0x20;
            if (eightLineMode) {
                // At these rates the edge list holds B.0 … B.7 only: the item is the line within bus B.
                const int item = in.edgeLine & 7;
                b[4] = static_cast<std::uint8_t>(item + (in.edgeRising ? 8 : 0));
            } else if (in.edgeLine >= 8) {
                b[4] = static_cast<std::uint8_t>((in.edgeLine - 8) * 16 + (in.edgeRising ? 0x80 : 0));
                b[5] = static_cast<std::uint8_t>(1u << (in.edgeLine - 8));
            } else {
                b[2] |= 0x10;
                b[5] = BusABit(in.edgeLine, in.busAInverse);
            }
        }

        if ((in.skipRising || in.skipFalling) && in.skipCount > 0) {
            b[3] |= 0x80;
            if (in.skipLine >= 8) {
                b[8] = static_cast<std::uint8_t>(1u << (in.skipLine - 8));
            } else {
                b[3] |= 0x40;
                b[8] = BusABit(in.skipLine, in.busAInverse);
            }
            if (in.skipRising)
                b[3] |= 0x20;
            out.wIndex = PulseSkipIndex(in.skipCount);
        }
    }

    if (in.externalClock) {
        b[4] = static_cast<std::uint8_t>(b[4] + in.externalClockLine + (in.externalEdgeRising ? 8 : 0));
    } else {
        const long long reload = -std::llrint(24'000'000.0 / in.sampleRate);
        out.wValue = static_cast<std::uint16_t>(static_cast<unsigned long long>(reload) & 0xFFFF);
    }
    b[7] = in.preTrigger;
    return out;
}

CommandSequence GeneratorUploadSequence(const GeneratorImage& image)
{
    CommandSequence seq;
    seq.push_back(MemoryWrite(0, 0x70, image, 0, 64));
    seq.push_back(MemoryWrite(0, 0xB0, image, 64, 64));
    seq.push_back(MemoryWrite(0, 0x30, image, 128, 8));
    for (int i = 0; i < 16; ++i)
        seq.push_back(MemoryWrite(1, static_cast<std::uint16_t>(i * 0x40), image, 136 + i * 64, 64));
    for (int i = 0; i < 4; ++i)
        seq.push_back(MemoryWrite(1, static_cast<std::uint16_t>(0x640 + i * 0x40), image, 1160 + i * 64, 64));
    seq.push_back(MemoryWrite(1, 0x780, image, 1480, 64));
    seq.push_back(MemoryWrite(1, 0x740, image, 1416, 64));
    seq.push_back(MemoryWrite(1, 0x400, image, 1416, 16));
    return seq;
}

} // namespace tesmar
