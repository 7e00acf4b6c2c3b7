#pragma once
// The UART result grid printed straight from the decoded bytes, as PrintDecoderTable prints
// UartTable(result), without holding the grid's texts: a long capture decodes to millions of rows.

#include "decoders/UartDecoder.h"

#include <cstddef>
#include <ostream>

namespace tesmar {

class MessageTable;

// At most `rows` rows.
void PrintUartTable(const UartDecodeResult& result, const MessageTable& table, bool csv, std::size_t rows,
                    std::ostream& out);
// The same with the lines' results given apart (one line decoded as both is held once).
void PrintUartTable(const UartLineResult& rxd, const UartLineResult& txd, const MessageTable& table, bool csv,
                    std::size_t rows, std::ostream& out);

} // namespace tesmar
