#pragma once
// The window of a text that the line and word readers look through: bytes [position, end) of
// the buffer are unread, and a refill keeps them, moved to the front, and appends what the
// source gives next. A line or word longer than 64 MiB, or an endless source (/dev/zero), ends
// the text with a problem instead of growing without bound.

#include "formats/TextSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tesmar {

struct TextPieces {
    TextPieces(TextSource& source, std::size_t piece);

    // False at the end of the source or when it cannot be read on (problem says why); `unit`
    // names what grew too long ("line", "word").
    bool refill(const char* unit);
    // From the first byte again; false when the source cannot go back.
    bool restart();
    std::int64_t consumed() const { return offset + static_cast<std::int64_t>(position); }

    TextSource& source;
    std::vector<char> buffer;
    std::size_t position = 0;
    std::size_t end = 0;
    std::int64_t offset = 0; // of buffer[0] in the text
    bool ended = false;
    std::string problem;
};

} // namespace tesmar
