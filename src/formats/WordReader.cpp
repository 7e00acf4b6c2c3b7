#include "formats/WordReader.h"

#include <cstring>

namespace tesmar {

WordReader::WordReader(TextSource& source, std::size_t piece) : pieces_(source, piece) {}

bool WordReader::next(std::string_view& word)
{
    for (;;) {
        while (pieces_.position < pieces_.end && IsBlank(pieces_.buffer[pieces_.position]))
            ++pieces_.position;
        if (pieces_.position < pieces_.end)
            break;
        if (!pieces_.refill("word"))
            return false;
    }
    std::size_t stop = pieces_.position;
    for (;;) {
        while (stop < pieces_.end && !IsBlank(pieces_.buffer[stop]))
            ++stop;
        if (stop < pieces_.end)
            break;
        const std::size_t scanned = stop - pieces_.position;
        const bool more = pieces_.refill("word"); // moves the word to the front of the buffer
        stop = pieces_.position + scanned;
        if (!more) {
            if (!pieces_.problem.empty())
                return false;
            break; // the text ends with this word
        }
    }
    word = std::string_view(pieces_.buffer.data() + pieces_.position, stop - pieces_.position);
    pieces_.position = stop;
    return true;
}

} // namespace tesmar
