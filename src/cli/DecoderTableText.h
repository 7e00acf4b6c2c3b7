#pragma once
// A decoder's result grid as text: aligned columns or CSV, with the element times in seconds.

#include "decoders/DecoderTable.h"

#include <functional>
#include <ostream>
#include <string>

namespace tesmar {

// Seconds as "%.9g"; empty for NaN (a cell without an element).
std::string TimeText(double seconds);

// A CSV cell: quoted when it holds a comma or a quote.
std::string CsvCell(const std::string& text);

// The grid followed by the time columns its decoder names.
DecoderTable WithTimeColumns(const DecoderTable& grid);

void PrintDecoderTable(const DecoderTable& grid, bool csv, std::ostream& out);

// Rows `from` … `to` - 1 of a grid, numbered as in the whole grid.
using DecoderRowChunk = std::function<DecoderTable(std::size_t from, std::size_t to)>;

// The same text for a grid of `count` rows made a few at a time by `rows`, never held whole: a
// long capture decodes to millions of rows. `frame` gives the headers and time columns.
void PrintDecoderRows(const DecoderTable& frame, std::size_t count, const DecoderRowChunk& rows, bool csv,
                      std::ostream& out);

// Keeps the first `rows` rows (and their times).
void KeepRows(DecoderTable& grid, std::size_t rows);

} // namespace tesmar
