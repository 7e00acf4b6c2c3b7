#pragma once
// The 16 logic lines as channels 0 … 15: A.0 … A.7, then B.0 … B.7.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

inline constexpr int kLogicChannelCount = 16;

using ChannelNameList = std::array<std::string, kLogicChannelCount>;

std::string DefaultChannelName(int channel); // "A.0" … "B.7"
ChannelNameList DefaultChannelNames();
inline bool IsBusBChannel(int channel) { return channel >= 8; }

// A channel given as its default name ("A.3", "b.7"), as an index ("11"), or as one of the
// user's names in `names` (exact match, checked after the default names).
std::optional<int> ParseChannel(std::string_view text, const ChannelNameList* names = nullptr);

} // namespace tesmar
