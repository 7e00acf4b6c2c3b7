#pragma once
// A decoder's result grid as the window shows it: the header row, then one row per element, each
// with the times of its cells (seconds; NaN where a cell has no element).

#include <string>
#include <vector>

namespace tesmar {

struct DecoderTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;  // column 0 holds the row number
    std::vector<std::vector<double>> times;      // same shape as rows
    // The columns whose element times a text listing shows, and a name for each.
    std::vector<int> timeColumns;
    std::vector<std::string> timeNames;
};

// Rows the grid shows at least, the header included.
inline constexpr int kDecoderGridMinRows = 65;

} // namespace tesmar
