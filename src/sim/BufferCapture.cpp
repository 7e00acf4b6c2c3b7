#include "BufferCapture.h"

#include <algorithm>

namespace tesmar {

namespace {

constexpr int kWholeGroups = 281;      // 1405 bytes of whole groups before the last one
constexpr int kLastGroupSamples = 3;   // bytes 1405 … 1407
constexpr int kRingTailLowBits = 1408;
constexpr int kLastGroupLowBits = 1409;
constexpr int kWritePosition = 1410;
constexpr int kCodeUnit = 64;          // 10-bit sample → 16-bit code unit
constexpr int kRunLimit = 255;         // the filter's counters are bytes

std::uint8_t PackLowBits(const std::array<int, 4>& low, int count)
{
    int byte = 0;
    for (int k = 0; k < count; ++k)
        byte |= low[k] << (2 * k);
    return static_cast<std::uint8_t>(byte);
}

} // namespace

BufferCapture::BufferCapture(const AnalogBlock& block, std::uint16_t wIndex)
{
    const std::uint8_t flags = block.bytes[0];
    if (flags & AnalogBlock::kTriggerOn) {
        if (flags & AnalogBlock::kExternal)
            trigger_ = Trigger::External;
        else if (flags & AnalogBlock::kDifference)
            trigger_ = Trigger::Difference;
        else
            trigger_ = Trigger::Level;
        ringGroups_ = block.bytes[2] / 4; // at most 63 groups, well inside the frame
    }
    risingCode_ = (flags & AnalogBlock::kEdge) != 0;
    level_ = wIndex;
    threshold_ = static_cast<std::int16_t>(wIndex);
    recordStart_ = 5 * ringGroups_;
    recordCapacity_ = 4 * (kWholeGroups - ringGroups_) + kLastGroupSamples;
    triggered_ = trigger_ == Trigger::Off; // without trigger the record starts at once
}

void BufferCapture::feed(int raw, bool triggerInput, bool externalHigh)
{
    if (complete_)
        return;
    raw &= 0x3FF;
    ++taken_;
    if (triggered_) {
        writeRecord(raw);
        return;
    }
    writeRing(raw);
    if (fires(raw, triggerInput, externalHigh)) {
        freezeRing();
        triggered_ = true;
    }
}

bool BufferCapture::fires(int raw, bool triggerInput, bool externalHigh)
{
    // Nothing older than the ring can be shown, so a trigger counts only once the ring is full.
    const bool ringFull = ringWritten_ >= 4 * ringGroups_;
    const int code = raw * kCodeUnit;
    switch (trigger_) {
    case Trigger::External: {
        const bool edge = externalKnown_ && externalBefore_ != externalHigh && externalHigh == risingCode_;
        externalKnown_ = true;
        externalBefore_ = externalHigh;
        return edge && ringFull;
    }
    case Trigger::Level: return triggerInput && levelFires(code) && ringFull;
    case Trigger::Difference: {
        if (!triggerInput)
            return false;
        const int change = code - previousCode_;
        const bool beyond = previousKnown_ && (risingCode_ ? change > threshold_ : change < threshold_);
        previousKnown_ = true;
        previousCode_ = code;
        return beyond && ringFull;
    }
    case Trigger::Off: break;
    }
    return false;
}

bool BufferCapture::levelFires(int code)
{
    // Bit 5 clear: the code falls through the level, which is a rising voltage.
    const bool beyond = risingCode_ ? code > level_ : code < level_;
    if (!beyond) {
        if (beyondRun_ > 0)
            startingRun_ = beyondRun_ = 0;
        startingRun_ = std::min(startingRun_ + 1, kRunLimit);
        return false;
    }
    beyondRun_ = std::min(beyondRun_ + 1, kRunLimit);
    return beyondRun_ == kBeyondRun && startingRun_ >= kStartingRun;
}

void BufferCapture::writeRing(int raw)
{
    if (ringGroups_ == 0)
        return;
    const int group = static_cast<int>((ringWritten_ / 4) % ringGroups_);
    const int k = static_cast<int>(ringWritten_ % 4);
    frame_[5 * group + k] = static_cast<std::uint8_t>(raw >> 2);
    ringLowBits_[k] = raw & 3;
    if (k == 3)
        frame_[5 * group + 4] = PackLowBits(ringLowBits_, 4);
    ++ringWritten_;
}

void BufferCapture::freezeRing()
{
    if (ringGroups_ == 0)
        return;
    const int r = static_cast<int>(ringWritten_ % 4);
    const int group = static_cast<int>((ringWritten_ / 4) % ringGroups_);
    const int w = 5 * group + r;
    // The group being filled has no lower-bits byte yet: its bits are in the tail byte.
    int tail = 0;
    for (int t = 0; t < r; ++t)
        tail |= ringLowBits_[t] << (2 * (3 - r + t));
    frame_[kRingTailLowBits] = static_cast<std::uint8_t>(tail);
    frame_[kWritePosition] = static_cast<std::uint8_t>(w & 0xFF);
    frame_[kWritePosition + 1] = static_cast<std::uint8_t>(w >> 8);
}

void BufferCapture::writeRecord(int raw)
{
    const int k = recordWritten_ % 4;
    const int position = recordStart_ + 5 * (recordWritten_ / 4) + k;
    frame_[position] = static_cast<std::uint8_t>(raw >> 2);
    recordLowBits_[k] = raw & 3;
    if (k == 3)
        frame_[position + 1] = PackLowBits(recordLowBits_, 4);
    if (++recordWritten_ == recordCapacity_) {
        frame_[kLastGroupLowBits] = PackLowBits(recordLowBits_, kLastGroupSamples);
        complete_ = true;
    }
}

} // namespace tesmar
