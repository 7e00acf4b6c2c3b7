#include "formats/LineReader.h"

#include <cstring>

namespace tesmar {

LineReader::LineReader(TextSource& source, std::size_t piece) : pieces_(source, piece) {}

bool LineReader::next(std::string_view& line)
{
    std::size_t scanned = 0;
    for (;;) {
        const char* start = pieces_.buffer.data() + pieces_.position;
        const void* found = std::memchr(start + scanned, '\n', pieces_.end - pieces_.position - scanned);
        if (found) {
            const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
            line = std::string_view(start, length);
            pieces_.position += length + 1;
            return true;
        }
        scanned = pieces_.end - pieces_.position;
        if (!pieces_.refill("line")) {
            if (!pieces_.problem.empty() || scanned == 0)
                return false;
            line = std::string_view(pieces_.buffer.data() + pieces_.position, scanned);
            pieces_.position += scanned;
            return true;
        }
    }
}

} // namespace tesmar
