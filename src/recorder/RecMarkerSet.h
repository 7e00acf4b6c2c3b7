#pragma once
// The recorder's user markers: 99 slots (1 … 99), each empty or holding a colour, a time on the
// record (days) and a comment of at most 128 characters. The page draws them and lists them in
// its marker table; the data file stores and restores them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tesmar {

inline constexpr int kRecMarkerSlots = 99;
inline constexpr std::uint32_t kRecMarkerDefaultColour = 0x0080FF; // 0x00BBGGRR: orange
inline constexpr std::size_t kRecMarkerCommentLength = 128;        // characters

struct RecMarker {
    std::uint32_t colour = kRecMarkerDefaultColour;
    double time = 0;
    std::string comment; // UTF-8
    bool operator==(const RecMarker&) const = default;
};

class RecMarkerSet {
public:
    static bool validSlot(int slot) { return slot >= 1 && slot <= kRecMarkerSlots; }

    bool used(int slot) const { return validSlot(slot) && slots_[slot - 1].has_value(); }
    const RecMarker* marker(int slot) const { return used(slot) ? &*slots_[slot - 1] : nullptr; }
    bool anyUsed() const;

    // Places a marker in a slot (used or not); the comment is cut to its length.
    void place(int slot, std::uint32_t colour, const std::string& comment, double time);
    // Places a marker only into an empty slot; false when the slot is used or invalid.
    bool add(int slot, std::uint32_t colour, const std::string& comment, double time);
    // False when there was nothing to delete.
    bool remove(int slot);
    void removeAll();
    bool setComment(int slot, const std::string& comment);
    bool setColour(int slot, std::uint32_t colour);
    bool setTime(int slot, double time);

private:
    std::array<std::optional<RecMarker>, kRecMarkerSlots> slots_{};
};

// The first `characters` characters of a UTF-8 text.
std::string CutUtf8(const std::string& text, std::size_t characters);
// Table rows of dark colours get white text: red + green + blue ≤ 384.
bool WhiteTextOn(std::uint32_t colour);

} // namespace tesmar
