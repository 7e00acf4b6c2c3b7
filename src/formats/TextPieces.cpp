#include "formats/TextPieces.h"

#include "formats/DataFileLoad.h"

#include <algorithm>
#include <cstring>

namespace tesmar {

namespace {
// No capture file has a line or word this long; a device that never ends (/dev/zero) does.
constexpr std::size_t kLongestUnit = std::size_t(64) << 20;
} // namespace

TextPieces::TextPieces(TextSource& textSource, std::size_t piece)
    : source(textSource), buffer(std::max<std::size_t>(piece, 16))
{
}

bool TextPieces::restart()
{
    if (!source.rewind())
        return false;
    position = end = 0;
    offset = 0;
    ended = false;
    problem.clear();
    return true;
}

bool TextPieces::refill(const char* unit)
{
    if (ended)
        return false;
    if (position > 0) {
        std::memmove(buffer.data(), buffer.data() + position, end - position);
        offset += static_cast<std::int64_t>(position);
        end -= position;
        position = 0;
    }
    if (end == buffer.size()) {
        if (buffer.size() >= kLongestUnit) {
            problem = std::string("a ") + unit + " longer than " + std::to_string(kLongestUnit >> 20) + " MiB";
            ended = true;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    // A device or pipe of unknown length keeps the limit of files read whole.
    if (source.size() < 0 && offset + static_cast<std::int64_t>(end) > static_cast<std::int64_t>(kMaxInputFileBytes)) {
        problem = "larger than " + std::to_string(kMaxInputFileBytes >> 30) + " GiB";
        ended = true;
        return false;
    }
    const std::size_t got = source.read(buffer.data() + end, buffer.size() - end);
    if (got == 0) {
        ended = true;
        if (source.failed())
            problem = "read error";
        return false;
    }
    end += got;
    return true;
}

} // namespace tesmar
