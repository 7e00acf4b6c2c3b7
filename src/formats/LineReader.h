#pragma once
// Lines of a text read piece by piece, without their "\n"; a line stays valid until the next
// call. The last line needs no "\n".

#include "formats/TextPieces.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

class LineReader {
public:
    explicit LineReader(TextSource& source, std::size_t piece = std::size_t(256) << 10);
    // False at the end of the text, or when it cannot be read on (problem() says why).
    bool next(std::string_view& line);
    std::int64_t consumed() const { return pieces_.consumed(); }
    const std::string& problem() const { return pieces_.problem; }

private:
    TextPieces pieces_;
};

} // namespace tesmar
