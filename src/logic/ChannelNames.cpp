#include "logic/ChannelNames.h"

#include <charconv>

namespace tesmar {

std::string DefaultChannelName(int channel)
{
    std::string name = channel < 8 ? "A." : "B.";
    name += static_cast<char>('0' + (channel & 7));
    return name;
}

ChannelNameList DefaultChannelNames()
{
    ChannelNameList names;
    for (int c = 0; c < kLogicChannelCount; ++c)
        names[c] = DefaultChannelName(c);
    return names;
}

std::optional<int> ParseChannel(std::string_view text, const ChannelNameList* names)
{
    if (text.size() == 3 && text[1] == '.' && text[2] >= '0' && text[2] <= '7') {
        const char bus = text[0];
        if (bus == 'A' || bus == 'a')
            return text[2] - '0';
        if (bus == 'B' || bus == 'b')
            return 8 + (text[2] - '0');
    }
    int index = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error == std::errc() && end == text.data() + text.size() && index >= 0 && index < kLogicChannelCount)
        return index;
    if (names) {
        for (int c = 0; c < kLogicChannelCount; ++c)
            if (!(*names)[c].empty() && (*names)[c] == text)
                return c;
    }
    return std::nullopt;
}

} // namespace tesmar
