#pragma once
// Blank-separated words of a text read piece by piece: a word is handed out whole even when it
// spans two pieces. A word stays valid until the next call.

#include "formats/TextSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

class WordReader {
public:
    explicit WordReader(TextSource& source, std::size_t piece = std::size_t(256) << 10);
    // False at the end of the text, or when it cannot be read on (problem() says why).
    bool next(std::string_view& word);
    // Bytes gone through so far.
    std::int64_t consumed() const { return offset_ + static_cast<std::int64_t>(position_); }
    // Why the text ended early; empty when it simply ended.
    const std::string& problem() const { return problem_; }
    // From the first byte again; false when the source cannot go back.
    bool restart();

private:
    bool refill();

    TextSource& source_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    std::int64_t offset_ = 0; // of buffer_[0] in the text
    bool ended_ = false;
    std::string problem_;
};

// Blanks as the C locale's isspace() has them.
inline bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace tesmar
