#pragma once
// The 18 sound conditions on the general signal parameters (per channel Uconst, Uvaria and F
// above, below or equal to a threshold) and which of them have just become true.

#include "dsp/SignalParams.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

inline constexpr int kSoundConditionCount = 18;
inline constexpr double kDisabledThreshold = 1'000'000.0;
inline constexpr double kFrequencyBand = 20.0; // Hz either side for "Частота="

enum class SoundQuantity { Uconst, Uvaria, F };
enum class SoundRelation { Above, Below, Equal };

struct SoundCondition {
    int channel = 0; // 0 A, 1 B
    SoundQuantity quantity = SoundQuantity::Uconst;
    SoundRelation relation = SoundRelation::Above;
};

// Condition i: channel i / 9, then Uconst > < =, Uvaria > < =, F > < = in that order.
SoundCondition SoundConditionAt(int index);
// The threshold fields' texts when the window opens.
const std::array<const char*, 9>& DefaultThresholdTexts();

// A threshold text as typed: a number with the given separator, else the disabling 1 000 000.
double ParseThreshold(const std::string& text, char decimalSeparator);

class SoundConditions {
public:
    SoundConditions();

    void setThreshold(int index, double threshold) { thresholds_[index] = threshold; }
    double threshold(int index) const { return thresholds_[index]; }

    // Evaluates every condition on the channels' last parameters (none: no data, false) with
    // the voltage bands of the range knobs (band = range / 20); returns the conditions that are
    // true now and were false at the previous check.
    std::vector<int> check(const std::array<std::optional<SignalParams>, 2>& params, std::array<double, 2> rangeVolts);

private:
    std::array<double, kSoundConditionCount> thresholds_{};
    std::array<bool, kSoundConditionCount> previous_{};
};

// A tone item of the sound lists (1 … 16): its pitch and one or two beeps.
struct ToneChoice {
    int frequency = 0;
    int beeps = 1;
};
std::optional<ToneChoice> ToneForItem(int item);
// The 17 items of a sound list: "нет", then the tones.
const std::array<const char*, 17>& SoundListItems();

} // namespace tesmar
