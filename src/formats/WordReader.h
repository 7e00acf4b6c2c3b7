#pragma once
// Blank-separated words of a text read piece by piece: a word is handed out whole even when it
// spans two pieces. A word stays valid until the next call.

#include "formats/TextPieces.h"

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
    std::int64_t consumed() const { return pieces_.consumed(); }
    // Why the text ended early; empty when it simply ended.
    const std::string& problem() const { return pieces_.problem; }
    // From the first byte again; false when the source cannot go back.
    bool restart() { return pieces_.restart(); }

private:
    TextPieces pieces_;
};

// Blanks as the C locale's isspace() has them.
inline bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace tesmar
