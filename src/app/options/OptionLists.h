#pragma once
// The item lists of the options dialog, item 0 first, with what each item stands for, so that
// a page can turn a stored item index into a period, a rate or a depth.

#include <optional>
#include <span>

namespace tesmar {

// One list item: its caption and its value (period in seconds or rate in hertz);
// the value is 0 for "Все", which sets no limit.
struct OptionListItem {
    const char* text;
    double value;
};

// Oscilloscope buffer boundary ("Tд грн. буфера"): item e ≥ 1 is time-base knob entry e − 1.
std::span<const OptionListItem> OscBufferPeriodList();
// Spectrum buffer boundary ("Fд грн. буфера"): item e ≥ 1 is rate knob entry e − 1.
std::span<const OptionListItem> FftBufferRateList();
// Recorder periods ("Tд мин рабочее", "Tд мин отображения").
std::span<const OptionListItem> RecPeriodList();
// Logic analyser buffer boundary ("Fд грн. буфера"): item e ≥ 1 is rate knob entry e − 1.
std::span<const OptionListItem> LanBufferRateList();

// Stream depths of the oscilloscope and the spectrum analyser; the option keeps the number.
std::span<const int> StreamDepthList();
// Item of `depth` in StreamDepthList, or nullopt when the number is not one of the list.
std::optional<int> StreamDepthIndex(int depth);
// The list value a depth outside the list falls back to: the largest one not above it,
// else the smallest.
int StreamDepthInList(int depth);

// Logic analyser stream depths "4 K" … "256 M": item i is 4096 × 2^i bytes.
std::span<const char* const> LanMemorySizeList();
// Bytes of item `index`, or nullopt outside the list.
std::optional<long long> LanMemorySizeBytes(int index);

// Lines of the external sample clock, "B.0" … "B.7".
std::span<const char* const> LanExternalClockList();

// Value of item `index` of `list`; nullopt for an index outside the list or for "Все".
std::optional<double> OptionListValue(std::span<const OptionListItem> list, int index);
// An index that is safe to select in a list of `count` items.
int ClampListIndex(int index, int count);

} // namespace tesmar
