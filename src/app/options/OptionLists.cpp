#include "app/options/OptionLists.h"

#include <algorithm>
#include <array>

namespace tesmar {
namespace {

// The texts are the program's own, spaces and Latin letters included.
constexpr OptionListItem kOscBufferPeriods[] = {
    {"Все", 0.0},         {"10 мс", 10e-3},   {"9 мс", 9e-3},       {"8 мс", 8e-3},     {"7 мс", 7e-3},
    {"6 мс", 6e-3},       {"5 мс", 5e-3},     {"4 мс", 4e-3},       {"3 мс", 3e-3},     {"2,5 мс", 2.5e-3},
    {"2 мс", 2e-3},       {"1,5 мс", 1.5e-3}, {"1 мс", 1e-3},       {"0,9 мс", 0.9e-3}, {"0,8 мс", 0.8e-3},
    {"0,7 мc", 0.7e-3},   {"0,6 мс", 0.6e-3}, {"0,5 мс", 0.5e-3},   {"0,4 мс", 0.4e-3}, {"0,3 мс", 0.3e-3},
    {"0,25 мc", 0.25e-3}, {"0,2 мс", 0.2e-3}, {"0,15 мc", 0.15e-3}, {"0,1 мс", 0.1e-3}, {"90 мкс", 90e-6},
    {"80 мкс", 80e-6},    {"70 мкс", 70e-6},  {"60 мкс", 60e-6},    {"50 мкс", 50e-6},  {"40 мкс", 40e-6},
    {"30 мкс", 30e-6},    {"25 мкс", 25e-6},  {"20 мкс", 20e-6},    {"15 мкс", 15e-6},  {"10 мкс", 10e-6},
    {"9 мкс", 9e-6},      {"8 мкс", 8e-6},    {"7 мкс", 7e-6},      {"6 мкс", 6e-6},    {"5 мкс", 5e-6}};

constexpr OptionListItem kFftBufferRates[] = {
    {"Все", 0.0},      {"100 ", 100.0},  {"200 ", 200.0},  {"250 ", 250.0},  {"300 ", 300.0},
    {"400 ", 400.0},   {"500 ", 500.0},  {"700 ", 700.0},  {"800 ", 800.0},  {"900 ", 900.0},
    {"1 К", 1e3},      {"2 К", 2e3},     {"2,5 К", 2.5e3}, {"3 К", 3e3},     {"4 К", 4e3},
    {"5 К", 5e3},      {"6 К", 6e3},     {"7 К   ", 7e3},  {"8 К   ", 8e3},  {"9 К", 9e3},
    {"10 К  ", 10e3},  {"20 К", 20e3},   {"25 К  ", 25e3}, {"30 К", 30e3},   {"40 К", 40e3},
    {"50 К", 50e3},    {"70 К", 70e3},   {"80 К", 80e3},   {"90 К", 90e3},   {"100 К", 100e3},
    {"110 К ", 110e3}, {"120 К", 120e3}, {"130 К", 130e3}, {"140 К", 140e3}, {"150 К", 150e3},
    {"160 К", 160e3},  {"170 К", 170e3}, {"180 К", 180e3}, {"190 К", 190e3}, {"200 К", 200e3}};

constexpr OptionListItem kRecPeriods[] = {
    {"10 мс", 10e-3},   {"9 мс", 9e-3},     {"8 мс", 8e-3},     {"7 мс", 7e-3},     {"6 мс", 6e-3},
    {"5 мс", 5e-3},     {"4 мс", 4e-3},     {"3 мс", 3e-3},     {"2 мс", 2e-3},     {"1 мс", 1e-3},
    {"0,9 мс", 0.9e-3}, {"0,8 мс", 0.8e-3}, {"0,7 мс", 0.7e-3}, {"0,6 мс", 0.6e-3}, {"0,5 мс", 0.5e-3},
    {"0,4 мс", 0.4e-3}, {"0,3 мс", 0.3e-3}, {"0,2 мс", 0.2e-3}, {"0,1 мс", 0.1e-3}, {"90 мкс", 90e-6},
    {"80 мкс", 80e-6},  {"70 мкс", 70e-6},  {"60 мкс", 60e-6},  {"50 мкс", 50e-6},  {"40 мкс", 40e-6},
    {"30 мкс", 30e-6},  {"20 мкс", 20e-6},  {"10 мкс", 10e-6},  {"9 мкс", 9e-6},    {"8 мкс", 8e-6},
    {"7 мкс", 7e-6},    {"6 мкс", 6e-6},    {"5 мкс", 5e-6}};

constexpr OptionListItem kLanBufferRates[] = {
    {"Все", 0.0},     {"1 K", 1e3},     {"2 K", 2e3},     {"2,5 K", 2.5e3}, {"3 K", 3e3},
    {"4 K", 4e3},     {"5 K", 5e3},     {"6 K", 6e3},     {"7 K", 7e3},     {"8 K", 8e3},
    {"9 K", 9e3},     {"10 K", 10e3},   {"20 K", 20e3},   {"25 K", 25e3},   {"30 K", 30e3},
    {"40 K", 40e3},   {"50 K", 50e3},   {"60 K", 60e3},   {"70 K", 70e3},   {"80 K", 80e3},
    {"90 K", 90e3},   {"100 K", 100e3}, {"150 K", 150e3}, {"200 K", 200e3}, {"250 K", 250e3},
    {"300 K", 300e3}, {"400 K", 400e3}, {"500 K", 500e3}};

constexpr std::array<int, 6> kStreamDepths = {2048, 4096, 8192, 16384, 32768, 65536};

constexpr const char* kLanMemorySizes[] = {"4 K",   "8 K",   "16 K", "32 K",  "64 K", "128 K",
                                           "256 K", "512 K", "1 M",  "2 M",   "4 M",  "8 M",
                                           "16 M",  "32 M",  "64 M", "128 M", "256 M"};

constexpr const char* kLanExternalClockLines[] = {"B.0", "B.1", "B.2", "B.3", "B.4", "B.5", "B.6", "B.7"};

} // namespace

std::span<const OptionListItem> OscBufferPeriodList() {
    return kOscBufferPeriods;
}
std::span<const OptionListItem> FftBufferRateList() {
    return kFftBufferRates;
}
std::span<const OptionListItem> RecPeriodList() {
    return kRecPeriods;
}
std::span<const OptionListItem> LanBufferRateList() {
    return kLanBufferRates;
}
std::span<const int> StreamDepthList() {
    return kStreamDepths;
}
std::span<const char* const> LanMemorySizeList() {
    return kLanMemorySizes;
}
std::span<const char* const> LanExternalClockList() {
    return kLanExternalClockLines;
}

std::optional<int> StreamDepthIndex(int depth) {
    const auto found = std::find(kStreamDepths.begin(), kStreamDepths.end(), depth);
    if (found == kStreamDepths.end())
        return std::nullopt;
    return static_cast<int>(found - kStreamDepths.begin());
}

int StreamDepthInList(int depth) {
    int chosen = kStreamDepths.front();
    for (int listed : kStreamDepths)
        if (listed <= depth)
            chosen = listed;
    return chosen;
}

std::optional<long long> LanMemorySizeBytes(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kLanMemorySizes)))
        return std::nullopt;
    return 4096LL << index;
}

std::optional<double> OptionListValue(std::span<const OptionListItem> list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size()) || list[index].value == 0.0)
        return std::nullopt;
    return list[index].value;
}

int ClampListIndex(int index, int count) {
    return std::clamp(index, 0, std::max(count - 1, 0));
}

} // namespace tesmar
