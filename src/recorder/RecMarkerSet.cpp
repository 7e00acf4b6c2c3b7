#include "RecMarkerSet.h"

namespace tesmar {

std::string CutUtf8(const std::string& text, std::size_t characters)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == characters)
                return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

bool WhiteTextOn(std::uint32_t colour)
{
    const unsigned sum = (colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF);
    return sum <= 384;
}

bool RecMarkerSet::anyUsed() const
{
    for (const auto& slot : slots_)
        if (slot)
            return true;
    return false;
}

void RecMarkerSet::place(int slot, std::uint32_t colour, const std::string& comment, double time)
{
    if (!validSlot(slot))
        return;
    slots_[slot - 1] = RecMarker{colour & 0xFFFFFF, time, CutUtf8(comment, kRecMarkerCommentLength)};
}

bool RecMarkerSet::add(int slot, std::uint32_t colour, const std::string& comment, double time)
{
    if (!validSlot(slot) || used(slot))
        return false;
    place(slot, colour, comment, time);
    return true;
}

bool RecMarkerSet::remove(int slot)
{
    if (!used(slot))
        return false;
    slots_[slot - 1].reset();
    return true;
}

void RecMarkerSet::removeAll()
{
    for (auto& slot : slots_)
        slot.reset();
}

bool RecMarkerSet::setComment(int slot, const std::string& comment)
{
    if (!used(slot))
        return false;
    slots_[slot - 1]->comment = CutUtf8(comment, kRecMarkerCommentLength);
    return true;
}

bool RecMarkerSet::setColour(int slot, std::uint32_t colour)
{
    if (!used(slot))
        return false;
    slots_[slot - 1]->colour = colour & 0xFFFFFF;
    return true;
}

bool RecMarkerSet::setTime(int slot, double time)
{
    if (!used(slot))
        return false;
    slots_[slot - 1]->time = time;
    return true;
}

} // namespace tesmar
