#pragma once
// Lines of a text read piece by piece, without their "\n"; a line stays valid until the next
// call. The last line needs no "\n".

#include "formats/TextSource.h"

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
    std::int64_t consumed() const { return offset_ + static_cast<std::int64_t>(position_); }
    const std::string& problem() const { return problem_; }

private:
    bool refill();

    TextSource& source_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    std::int64_t offset_ = 0;
    bool ended_ = false;
    std::string problem_;
};

} // namespace tesmar
