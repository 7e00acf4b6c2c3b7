#include "SoundConditions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tesmar {

SoundCondition SoundConditionAt(int index)
{
    const int k = index % 9;
    return {index / 9, static_cast<SoundQuantity>(k / 3), static_cast<SoundRelation>(k % 3)};
}

const std::array<const char*, 9>& DefaultThresholdTexts()
{
    static const std::array<const char*, 9> texts{"5", "1", "2,5", "5", "1", "2,5", "2000", "500", "1000"};
    return texts;
}

double ParseThreshold(const std::string& text, char decimalSeparator)
{
    std::string s = text;
    while (!s.empty() && s.front() == ' ')
        s.erase(s.begin());
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    for (char& c : s)
        if (c == decimalSeparator)
            c = '.';
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value))
        return kDisabledThreshold;
    return value;
}

SoundConditions::SoundConditions()
{
    for (int i = 0; i < kSoundConditionCount; ++i)
        thresholds_[i] = ParseThreshold(DefaultThresholdTexts()[i % 9], ',');
}

std::vector<int> SoundConditions::check(const std::array<std::optional<SignalParams>, 2>& params,
                                        std::array<double, 2> rangeVolts)
{
    std::vector<int> fired;
    for (int i = 0; i < kSoundConditionCount; ++i) {
        const SoundCondition c = SoundConditionAt(i);
        const double t = thresholds_[i];
        bool now = false;
        if (params[c.channel] && t != kDisabledThreshold) {
            const SignalParams& p = *params[c.channel];
            const double v = c.quantity == SoundQuantity::Uconst   ? p.Uconst
                             : c.quantity == SoundQuantity::Uvaria ? p.Uvaria
                                                                   : p.F;
            const double band = c.quantity == SoundQuantity::F ? kFrequencyBand : rangeVolts[c.channel] / 20.0;
            switch (c.relation) {
            case SoundRelation::Above: now = v > t; break;
            case SoundRelation::Below: now = v < t; break;
            case SoundRelation::Equal: now = t - band < v && v < t + band; break;
            }
        }
        if (now && !previous_[i])
            fired.push_back(i);
        previous_[i] = now;
    }
    return fired;
}

const std::array<const char*, 17>& SoundListItems()
{
    static const std::array<const char*, 17> items{
        "нет",          "100 Гц, 1 гудок",  "100 Гц, 2 гудка",  "200 Гц, 1 гудок",  "200 Гц, 2 гудка",
        "300 Гц, 1 гудок",  "300 Гц, 2 гудка",  "500 Гц, 1 гудок",  "500 Гц, 2 гудка",  "700 Гц, 1 гудок",
        "700 Гц, 2 гудка",  "1000 Гц, 1 гудок", "1000 Гц, 2 гудка", "1500 Гц, 1 гудок", "1500 Гц, 2 гудка",
        "2000 Гц, 1 гудок", "2000 Гц, 2 гудка"};
    return items;
}

std::optional<ToneChoice> ToneForItem(int item)
{
    if (item < 1 || item > 16)
        return std::nullopt;
    // The pitch is the number at the start of the item's text.
    const char* text = SoundListItems()[item];
    return ToneChoice{std::atoi(text), item % 2 == 1 ? 1 : 2};
}

} // namespace tesmar
